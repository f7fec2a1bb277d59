// Interactive registration: the questions, keeping the program where it is, a failed copy or
// entry, and the move to C:\Apps with its relaunch.
#include "wine/registration_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/path_text.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"
#include "wine/desktop_entry.h"
#include "wine/drive_map_win.h"
#include "wine/registration_text.h"

namespace {

using testing_support::AppsCompanion;
using testing_support::AppsCopy;
using testing_support::Box;
using testing_support::BoxAnswerer;
using testing_support::BuiltFile;
using testing_support::HomeWindows;
using testing_support::Lines;
using testing_support::OwnEntry;
using testing_support::ReadBytes;
using testing_support::RelaunchBatch;
using testing_support::TempFolder;
using testing_support::UserName;
using Registration = testing_support::RegistrationFixture;

// The relaunch started by a moved copy of this test program runs it with no arguments: under
// this variable it only reports that it ran (its own path into the named file) and ends, instead
// of running every test again.
constexpr wchar_t kRelaunchMarkerVariable[] = L"LUMORA_REGISTRATION_RELAUNCH_MARKER";
const bool kRelaunchedCopyEnded = [] {
    wchar_t marker[MAX_PATH * 2] = {};
    if (!::GetEnvironmentVariableW(kRelaunchMarkerVariable, marker, MAX_PATH * 2)) return false;
    if (std::wstring(::GetCommandLineW()).find(L"--gtest") != std::wstring::npos) return false;
    testing_support::WriteBytes(marker, host::ProgramPath());
    ::ExitProcess(0);
    return true;
}();

TEST_F(Registration, InteractiveNoOrCancelWritesNothing) {
    {
        BoxAnswerer answerer({IDNO});
        wine::RegisterLinuxApp(true, true, "");
        const std::vector<Box>& boxes = answerer.Finish();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, host::Widen(wine::RegisterQuestionText()));
        EXPECT_FALSE(boxes[0].hasCancel);
    }
    EXPECT_FALSE(host::FileExists(OwnEntry()));
    {
        BoxAnswerer answerer({IDYES, IDCANCEL});
        wine::RegisterLinuxApp(true, true, "");
        const std::vector<Box>& boxes = answerer.Finish();
        ASSERT_EQ(boxes.size(), 2u);
        // The program folder as the Unix side sees it.
        const std::string folder = wine::ToUnixPath(host::ProgramFolder());
        EXPECT_EQ(folder.front(), '/');
        EXPECT_EQ(folder.back(), '/');
        EXPECT_EQ(boxes[1].text, host::Widen(wine::RelocateQuestionText(folder)));
        EXPECT_TRUE(boxes[1].hasCancel);
    }
    EXPECT_FALSE(host::FileExists(OwnEntry()));
    EXPECT_FALSE(host::FileExists(AppsCopy()));
}

TEST_F(Registration, InteractiveKeepWritesAShownEntryForTheProgramWhereItIs) {
    BoxAnswerer answerer({IDYES, IDNO});
    wine::RegisterLinuxApp(true, true, "");
    EXPECT_EQ(answerer.Finish().size(), 2u);
    const std::vector<std::string> lines = Lines(ReadBytes(OwnEntry()));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "Exec=env WINEPREFIX=\"/home/" + UserName() + "/.wine\" wine " +
                            wine::ExecEscape(host::ProgramPath()));
    EXPECT_FALSE(host::FileExists(AppsCopy()));
}

TEST_F(Registration, FailedCopyIsReportedAndTheProgramIsRegisteredWhereItIs) {
    // A folder where the copy should go: CopyFile fails. Relaunching now would delete the only
    // program file, so the process must live on and register itself in place.
    testing_support::MakeFolder(L"C:\\Apps");  // may be left from an earlier run
    ASSERT_TRUE(testing_support::MakeFolder(host::Widen(AppsCopy())));
    BoxAnswerer answerer({IDYES, IDYES, IDOK});
    wine::RegisterLinuxApp(true, true, "");
    const std::vector<Box>& boxes = answerer.Finish();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_NE(boxes[2].text.find(L"could not be copied"), std::wstring::npos);
    EXPECT_FALSE(host::FileExists(RelaunchBatch()));
    const std::vector<std::string> lines = Lines(ReadBytes(OwnEntry()));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_NE(lines[3].find(wine::ExecEscape(host::ProgramPath())), std::string::npos);
}

TEST_F(Registration, FailedEntryIsReportedInInteractiveModeOnly) {
    // A file in the applications folder's place: no entry can be written, nor the folder made.
    const std::string applications = HomeWindows() + ".local\\share\\applications";
    const std::wstring moved = host::Widen(applications + "-moved");
    ASSERT_TRUE(::MoveFileW(host::Widen(applications).c_str(), moved.c_str()));
    ASSERT_TRUE(testing_support::WriteBytes(applications, "not a folder"));
    {
        BoxAnswerer answerer({});
        wine::RegisterLinuxApp(false, false, "");
        EXPECT_TRUE(answerer.Finish().empty());
    }
    {
        BoxAnswerer answerer({IDYES, IDNO, IDOK});
        wine::RegisterLinuxApp(true, false, "");
        const std::vector<Box>& boxes = answerer.Finish();
        ASSERT_EQ(boxes.size(), 3u);
        EXPECT_EQ(boxes[2].text, host::Widen(wine::RegistrationFailedText()));
    }
    ::DeleteFileW(host::Widen(applications).c_str());
    ASSERT_TRUE(::MoveFileW(moved.c_str(), host::Widen(applications).c_str()));
    EXPECT_FALSE(host::FileExists(OwnEntry()));
}

// Run only as the child of the next test, from a copy of this program: answers Yes twice.
TEST(RegistrationChild, DISABLED_MoveAndRelaunch) {
    BoxAnswerer answerer({IDYES, IDYES});
    wine::RegisterLinuxApp(true, true, "");
    answerer.Finish();
    FAIL() << "the move to C:\\Apps returned instead of ending the process";
}

TEST_F(Registration, MoveToAppsRelaunchesFromThereAndEnds) {
    // cmd reads a batch in the OEM code page: a folder name beyond ASCII must still be found.
    TempFolder scratch;
    const std::wstring folder = scratch.Path() + L"Programme S\u00fc\u00df\\";
    ASSERT_TRUE(testing_support::MakeFolder(folder));
    const std::wstring program = folder + L"lumora_wine_tests.exe";
    const std::wstring companion = folder + L"Lumora.exe";
    ASSERT_TRUE(::CopyFileW(host::Widen(host::ProgramPath()).c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(BuiltFile(L"Lumora.exe").c_str(), companion.c_str(), FALSE));
    const std::wstring marker = scratch.Path() + L"relaunched.txt";
    ::SetEnvironmentVariableW(kRelaunchMarkerVariable, marker.c_str());

    std::wstring commandLine = L"\"" + program +
                               L"\" --gtest_also_run_disabled_tests "
                               L"--gtest_filter=RegistrationChild.DISABLED_MoveAndRelaunch";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const bool started = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr,
                                          FALSE, 0, nullptr, folder.c_str(), &startup, &child) != 0;
    ::SetEnvironmentVariableW(kRelaunchMarkerVariable, nullptr);
    ASSERT_TRUE(started);
    DWORD exitCode = STILL_ACTIVE;
    if (::WaitForSingleObject(child.hProcess, 60000) == WAIT_TIMEOUT)
        ::TerminateProcess(child.hProcess, 1);
    ::GetExitCodeProcess(child.hProcess, &exitCode);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);

    EXPECT_EQ(exitCode, 12345u);
    EXPECT_TRUE(host::FileExists(AppsCopy()));
    const std::vector<std::string> lines = Lines(ReadBytes(OwnEntry()));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "Exec=env WINEPREFIX=\"/home/" + UserName() + "/.wine\" wine " +
                            wine::ExecEscape(AppsCopy()));

    // The batch deletes the old file and starts the copy, which reports from C:\Apps, where the
    // viewer its shortcuts start lies beside it.
    for (int i = 0; i < 80 && !host::FileExists(host::Narrow(marker)); ++i) ::Sleep(250);
    EXPECT_EQ(host::AsciiLower(ReadBytes(host::Narrow(marker))), "c:\\apps\\lumora_wine_tests.exe");
    EXPECT_TRUE(host::FileExists(AppsCompanion()));
    const std::string programPath = host::Narrow(program);
    for (int i = 0; i < 40 && host::FileExists(programPath); ++i) ::Sleep(250);
    EXPECT_FALSE(host::FileExists(programPath));
    // Shortcuts made before the move still start the viewer at the old place.
    EXPECT_TRUE(host::FileExists(host::Narrow(companion)));
    // The batch removes itself once it has started the copy.
    for (int i = 0; i < 40 && host::FileExists(RelaunchBatch()); ++i) ::Sleep(250);
    EXPECT_FALSE(host::FileExists(RelaunchBatch()));
    // Let the relaunched copy end before C:\Apps is cleaned.
    ::Sleep(500);
}

}  // namespace
