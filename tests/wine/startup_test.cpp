#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include <string>

#include "app/startup_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"

namespace {

using testing_support::TempFolder;

struct Child {
    PROCESS_INFORMATION info{};
    bool started = false;
    ~Child() {
        if (!started) return;
        if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(info.hProcess, 1);
        }
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    // The exit code once the process has ended, or STILL_ACTIVE when it did not within 20 s.
    DWORD ExitCode() const {
        ::WaitForSingleObject(info.hProcess, 20000);
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

void Start(Child& child, const std::wstring& program, const std::wstring& currentFolder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + program + L"\"";
    child.started = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                     0, nullptr, currentFolder.c_str(), &startup, &child.info) != 0;
}

std::wstring BuiltProgram(const wchar_t* name) { return host::Widen(host::ProgramFolder()) + name; }

TEST(Startup, CompanionMissingBesideTheProgramEndsWithAMessage) {
    // The current folder holds the companion; only the program's own folder counts.
    TempFolder programFolder;
    TempFolder currentFolder;
    const std::wstring program = programFolder.Path() + L"Lumora-builder.exe";
    ASSERT_TRUE(::CopyFileW(BuiltProgram(L"Lumora-builder.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(BuiltProgram(L"Lumora.exe").c_str(),
                            (currentFolder.Path() + L"Lumora.exe").c_str(), FALSE));

    Child child;
    Start(child, program, currentFolder.Path());
    ASSERT_TRUE(child.started);
    HWND box = testing_support::WaitForWindow(child.info.dwProcessId, L"Lumora-builder");
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

    Child child;
    Start(child, program, currentFolder.Path());
    ASSERT_TRUE(child.started);
    HWND dialog =
        testing_support::WaitForWindow(child.info.dwProcessId, L"Fotos Caf\u00e9 \u5199\u771f 1.6");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, 3145)));
    // Closing through the title bar arrives as WM_CLOSE, which the dialog turns into IDCANCEL.
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(child.ExitCode(), 0u);
}

TEST(Startup, MissingImageMagickIsReported) {
    // Under Wine there is no Windows "magick" on the search path: the check must fail loudly.
    auto box = testing_support::CloseMessageBoxLater(L"lumora_wine_tests", ::GetCurrentProcessId());
    EXPECT_FALSE(app::CheckImageMagick());
    const testing_support::BoxSeen seen = box.get();
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.text, L"Error: ImageMagick not installed on the system!");
}

// A stand-in "magick" on the search path: the check passes only on the word in its own capitals.
TEST(Startup, ImageMagickCheckReadsTheVersionTextCaseSensitively) {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring bin = std::wstring(temp) + L"lumora-magick-standin";
    ::CreateDirectoryW(bin.c_str(), nullptr);
    const std::wstring batch = bin + L"\\magick.bat";
    const auto writeBatch = [&](const char* text) {
        const HANDLE file = ::CreateFileW(batch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
        ::CloseHandle(file);
    };
    std::wstring oldPath(32768, L'\0');
    oldPath.resize(::GetEnvironmentVariableW(L"PATH", oldPath.data(), 32768));
    ::SetEnvironmentVariableW(L"PATH", (bin + L";" + oldPath).c_str());

    writeBatch("@echo Version: ImageMagick 7.1.1-15 Q16-HDRI x64\r\n");
    {
        auto box =
            testing_support::CloseMessageBoxLater(L"lumora_wine_tests", ::GetCurrentProcessId());
        EXPECT_TRUE(app::CheckImageMagick());
        EXPECT_FALSE(box.get().found) << "no message when ImageMagick answers";
    }
    writeBatch("@echo version: imagemagick 7\r\n");
    {
        auto box =
            testing_support::CloseMessageBoxLater(L"lumora_wine_tests", ::GetCurrentProcessId());
        EXPECT_FALSE(app::CheckImageMagick());
        const testing_support::BoxSeen seen = box.get();
        EXPECT_TRUE(seen.found);
        EXPECT_EQ(seen.text, L"Error: ImageMagick not installed on the system!");
    }
    ::SetEnvironmentVariableW(L"PATH", oldPath.c_str());
    ::DeleteFileW(batch.c_str());
    ::RemoveDirectoryW(bin.c_str());
}

}  // namespace
