#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/startup_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"

namespace {

using testing_support::TempFolder;

std::wstring BuiltProgram(const wchar_t* name) { return host::Widen(host::ProgramFolder()) + name; }

TEST(Startup, CompanionMissingBesideTheProgramEndsWithAMessage) {
    // The current folder holds the companion; only the program's own folder counts.
    TempFolder programFolder;
    TempFolder currentFolder;
    const std::wstring program = programFolder.Path() + L"Lumora-builder.exe";
    ASSERT_TRUE(::CopyFileW(BuiltProgram(L"Lumora-builder.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(BuiltProgram(L"Lumora.exe").c_str(),
                            (currentFolder.Path() + L"Lumora.exe").c_str(), FALSE));

    testing_support::ChildProcess child(program, currentFolder.Path());
    ASSERT_TRUE(child.Started());
    HWND box = testing_support::WaitForWindow(child.Id(), L"Lumora-builder");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(testing_support::MessageBoxText(box), L"Error: \"Lumora.exe\" not found!");
    // Once the message is answered the program ends: no dialog follows.
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(child.ExitCode(), 0u);
}

TEST(Startup, CompanionBesideTheProgramOpensTheDialogFromAnyFolder) {
    TempFolder programFolder;
    TempFolder currentFolder;
    // The caption follows the program file's name.
    const std::wstring program = programFolder.Path() + L"Fotos Caf\u00e9 \u5199\u771f.exe";
    ASSERT_TRUE(::CopyFileW(BuiltProgram(L"Lumora-builder.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(BuiltProgram(L"Lumora.exe").c_str(),
                            (programFolder.Path() + L"Lumora.exe").c_str(), FALSE));

    testing_support::ChildProcess child(program, currentFolder.Path());
    ASSERT_TRUE(child.Started());
    HWND dialog = testing_support::WaitForWindow(child.Id(), L"Fotos Caf\u00e9 \u5199\u771f 1.6");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, 3145)));
    // Closing through the title bar arrives as WM_CLOSE, which the dialog turns into IDCANCEL.
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(child.ExitCode(), 0u);
}

TEST(Startup, MissingImageMagickIsReported) {
    // Under Wine there is no Windows "magick" on the search path: the check must fail loudly,
    // even with one in TEMP, where the check's runner works, since the search path has none.
    const std::string planted = host::TempFolder() + "magick.bat";
    ASSERT_TRUE(testing_support::WriteBytes(planted, "@echo Version: ImageMagick 7.1.1-15\r\n"));
    const struct Remove {
        std::string path;
        ~Remove() { ::DeleteFileW(host::Widen(path).c_str()); }
    } remove{planted};
    auto box = testing_support::CloseMessageBoxLater(L"lumora_wine_tests", ::GetCurrentProcessId());
    EXPECT_FALSE(app::CheckImageMagick());
    const testing_support::BoxSeen seen = box.get();
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.text, L"Error: ImageMagick not installed on the system!");
}

// A stand-in "magick" on the search path: the check passes only on the word in its own capitals.
TEST(Startup, ImageMagickCheckReadsTheVersionTextCaseSensitively) {
    TempFolder bin;
    const std::wstring batch = bin.Path() + L"magick.bat";
    const std::wstring path = host::Widen(host::EnvironmentVariable("PATH"));
    const testing_support::ScopedVariable searchPath(L"PATH", (bin.Path() + L";" + path).c_str());

    ASSERT_TRUE(
        testing_support::WriteBytes(batch, "@echo Version: ImageMagick 7.1.1-15 Q16-HDRI x64\r\n"));
    {
        auto box =
            testing_support::CloseMessageBoxLater(L"lumora_wine_tests", ::GetCurrentProcessId());
        EXPECT_TRUE(app::CheckImageMagick());
        EXPECT_FALSE(box.get().found) << "no message when ImageMagick answers";
    }
    ASSERT_TRUE(testing_support::WriteBytes(batch, "@echo version: imagemagick 7\r\n"));
    {
        auto box =
            testing_support::CloseMessageBoxLater(L"lumora_wine_tests", ::GetCurrentProcessId());
        EXPECT_FALSE(app::CheckImageMagick());
        const testing_support::BoxSeen seen = box.get();
        EXPECT_TRUE(seen.found);
        EXPECT_EQ(seen.text, L"Error: ImageMagick not installed on the system!");
    }
}

}  // namespace
