#include "wine/registration_text.h"

#include <gtest/gtest.h>

namespace {

TEST(RegistrationText, RelaunchBatchRetriesTheDeletionStartsTheCopyAndRemovesItself) {
    EXPECT_EQ(
        wine::RelaunchBatch("Z:\\home\\jane\\Lumora-builder.exe", "C:\\Apps\\Lumora-builder.exe")
            .text,
        "@echo off\r\n"
        "set LUMORA_RELAUNCH_TRIES=0\r\n"
        ":remove\r\n"
        "del \"Z:\\home\\jane\\Lumora-builder.exe\" >nul 2>&1\r\n"
        "if not exist \"Z:\\home\\jane\\Lumora-builder.exe\" goto relaunch\r\n"
        "ping -n 2 127.0.0.1 >nul\r\n"
        "set /a LUMORA_RELAUNCH_TRIES+=1\r\n"
        "if %LUMORA_RELAUNCH_TRIES% lss 30 goto remove\r\n"
        ":relaunch\r\n"
        "start \"\" \"C:\\Apps\\Lumora-builder.exe\"\r\n"
        "del \"%~f0\"\r\n");
}

TEST(RegistrationText, RelaunchBatchKeepsAnyPathIntactForCmd) {
    // cmd reads the batch in the OEM code page and expands %NAME%: the letters beyond ASCII
    // travel in a variable, every '%' is doubled.
    const host::BatchFile batch =
        wine::RelaunchBatch("C:\\Programme S\xC3\xBC\xC3\x9F\\100% & ^x\\t.exe", "C:\\Apps\\t.exe");
    for (const char c : batch.text) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    ASSERT_EQ(batch.variables.size(), 1u);
    EXPECT_EQ(batch.variables[0].second, "\xC3\xBC\xC3\x9F");
    EXPECT_NE(batch.text.find("del \"C:\\Programme S%" + batch.variables[0].first +
                              "%\\100%% & ^x\\t.exe\" >nul"),
              std::string::npos)
        << batch.text;
    EXPECT_EQ(wine::RelaunchBatchName("Lumora-builder"), "Lumora-builder.bat");
    EXPECT_EQ(wine::RelaunchBatchName("100%x% S\xC3\xBC"), "100_x_ S__.bat");
}

TEST(RegistrationText, QuestionsSeparateLinesAsTheMessageBoxesExpect) {
    EXPECT_EQ(wine::RegisterQuestionText(),
              "Do you want to register this program as a Linux App?\r\n"
              "(it will be listed in the XDG Desktop Menu for quick access)");
    const std::string relocate = wine::RelocateQuestionText("/home/jane/tools/");
    EXPECT_EQ(relocate.find('\n'), std::string::npos);
    EXPECT_NE(relocate.find("launch it from '/home/jane/tools/' ?\r(beware"), std::string::npos);
    EXPECT_NE(relocate.find("Menu).\r\r- Click Yes to move to '~/.wine/drive_c/Apps'\r\r- Click "
                            "No to keep in '/home/jane/tools/'\r\r- Click Cancel to abandon "
                            "registration as a Linux App."),
              std::string::npos);
    EXPECT_EQ(wine::RegistrationFailedText(),
              "An error occured.\r\nRegistration failed.\r\n\r\nClick OK to continue the program.");
}

}  // namespace
