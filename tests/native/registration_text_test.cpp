#include "wine/registration_text.h"

#include <gtest/gtest.h>

namespace {

TEST(RegistrationText, RelaunchBatchHasThreeCrLfLines) {
    EXPECT_EQ(wine::RelaunchBatchText("Z:\\home\\jane\\Lumora-builder.exe",
                                      "C:\\Apps\\Lumora-builder.exe"),
              "TimeOut 1\r\n"
              "del \"Z:\\home\\jane\\Lumora-builder.exe\"\r\n"
              "start \"\" \"C:\\Apps\\Lumora-builder.exe\"\r\n");
}

TEST(RegistrationText, RelaunchBatchDoublesPercentSoCmdKeepsThePath) {
    const std::string batch = wine::RelaunchBatchText("D:\\100%\\%TEMP%\\x.exe", "C:\\Apps\\x.exe");
    EXPECT_NE(batch.find("del \"D:\\100%%\\%%TEMP%%\\x.exe\"\r\n"), std::string::npos) << batch;
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
