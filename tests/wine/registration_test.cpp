#include "wine/registration_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/path_text.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"
#include "wine/desktop_entry.h"
#include "wine/desktop_entry_win.h"
#include "wine/drive_map_win.h"
#include "wine/registration_text.h"
#include "wine/shell_quote.h"
#include "wine/unix_bridge_win.h"

namespace {

using testing_support::TempFolder;

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

std::string User() { return host::EnvironmentVariable("USERNAME"); }
std::string Home() { return "z:\\home\\" + User() + "\\"; }
std::string OwnEntry() {
    return Home() + ".local\\share\\applications\\wine-lumora_wine_tests.desktop";
}
std::string AppsCopy() { return "C:\\Apps\\lumora_wine_tests.exe"; }
std::string RelaunchBatch() {
    return host::EnvironmentVariable("TEMP") + "\\lumora_wine_tests.bat";
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(host::Widen(path).c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void RemovePath(const std::string& path) {
    const std::wstring wide = host::Widen(path);
    if (!::DeleteFileW(wide.c_str())) testing_support::RemoveTree(wide);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

struct Box {
    std::wstring text;
    bool hasCancel = false;
};

HWND FindOwnBox(const std::wstring& caption) {
    struct Request {
        const std::wstring* caption;
        HWND found;
    } request{&caption, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* r = reinterpret_cast<Request*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != ::GetCurrentProcessId() || !::IsWindowVisible(window)) return TRUE;
            wchar_t text[512] = {};
            ::GetWindowTextW(window, text, 512);
            if (*r->caption != text) return TRUE;
            r->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&request));
    return request.found;
}

// Answers the program's message boxes (caption: the program name) in turn with the given
// buttons, from its own thread, while the registration runs on the test's thread. Any box beyond
// the planned answers is closed with its Cancel/No/OK so that a wrong turn cannot hang the test.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::vector<int> buttons)
        : buttons_(std::move(buttons)), thread_([this] { Run(); }) {}
    ~BoxAnswerer() { Finish(); }
    // Call once the registration has returned: every box it showed has been answered by then.
    const std::vector<Box>& Finish() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
        return seen_;
    }

private:
    void Run() {
        const std::wstring caption = host::Widen(host::ProgramName());
        for (size_t index = 0; !done_;) {
            HWND box = FindOwnBox(caption);
            if (!box) {
                ::Sleep(50);
                continue;
            }
            Box seen;
            seen.text = testing_support::MessageBoxText(box);
            seen.hasCancel = ::GetDlgItem(box, IDCANCEL) != nullptr;
            seen_.push_back(seen);
            const int button = index < buttons_.size() ? buttons_[index++] : IDCANCEL;
            ::PostMessageW(box, WM_COMMAND, button, 0);
            // An unplanned OK-only box has no Cancel: its OK ends it.
            if (button == IDCANCEL && !seen.hasCancel) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 200 && ::IsWindow(box); ++i) ::Sleep(25);
        }
    }

    std::vector<int> buttons_;
    std::vector<Box> seen_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// The value gio reports for the file's custom icon, polled: the marking is started, not awaited.
std::string CustomIconOf(const std::string& windowsPath) {
    const std::string query =
        "gio info -a metadata::custom-icon " + wine::ShellQuote(wine::ToUnixPath(windowsPath));
    const std::string key = "metadata::custom-icon: ";
    for (int attempt = 0; attempt < 12; ++attempt) {
        const std::string output = wine::RunUnixCaptured(query);
        if (const size_t at = output.find(key); at != std::string::npos) {
            const size_t start = at + key.size();
            return output.substr(start, output.find('\n', start) - start);
        }
        ::Sleep(250);
    }
    return {};
}

class Registration : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        RemovePath(OwnEntry());
        RemovePath(Home() + ".local\\share\\icons\\lumora_wine_tests.ico");
        RemovePath(Home() + ".local\\share\\icons\\lumora_wine_tests.png");
        RemovePath(AppsCopy());
        RemovePath(RelaunchBatch());
    }
};

TEST_F(Registration, SilentFirstStartWritesAHiddenEntryOnceAndNeverAsks) {
    {
        BoxAnswerer answerer({});
        wine::RegisterLinuxApp(false, false, "");
        EXPECT_TRUE(answerer.Finish().empty()) << "silent mode showed a message box";
    }
    const std::string entry = ReadBytes(OwnEntry());
    EXPECT_EQ(entry.find('\r'), std::string::npos);
    const std::vector<std::string> expected = {
        "[Desktop Entry]",
        "Name=lumora_wine_tests",
        "StartupWMClass=lumora_wine_tests.exe",
        "NoDisplay=true",
        "Type=Application",
        "Terminal=false",
        "StartupNotify=true",
        // This test program has no icon resource: the name is still the one the icon export
        // uses, so an icon put there later is found.
        "Icon=lumora_wine_tests",
    };
    EXPECT_EQ(Lines(entry), expected);
    EXPECT_EQ(entry.back(), '\n');
    // The desktop's own validator accepts it where it lies.
    EXPECT_EQ(wine::RunUnixCaptured("desktop-file-validate " +
                                    wine::ShellQuote(wine::ToUnixPath(OwnEntry())) +
                                    " >/dev/null 2>&1; echo rc=$?"),
              "rc=0\n");

    // Registered: even the interactive mode neither asks nor rewrites the entry.
    ASSERT_TRUE(testing_support::WriteBytes(host::Widen(OwnEntry()), "kept"));
    {
        BoxAnswerer answerer({});
        wine::RegisterLinuxApp(true, true, "");
        EXPECT_TRUE(answerer.Finish().empty()) << "a registered program was asked again";
    }
    EXPECT_EQ(ReadBytes(OwnEntry()), "kept");
}

TEST_F(Registration, AlternativeNameNamesTheEntry) {
    const std::string entry = Home() + ".local\\share\\applications\\wine-mytool.desktop";
    RemovePath(entry);
    wine::RegisterLinuxApp(false, false, "C:\\Other\\My Tool.exe");
    EXPECT_FALSE(host::FileExists(OwnEntry()));
    const std::vector<std::string> lines = Lines(ReadBytes(entry));
    ASSERT_EQ(lines.size(), 8u);
    // The entry still describes this program; only its file name follows the alternative name.
    EXPECT_EQ(lines[1], "Name=lumora_wine_tests");
    RemovePath(entry);
}

TEST_F(Registration, UnixSideSharesTheSessionBus) {
    const std::string address = host::EnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_FALSE(address.empty()) << "the tests are expected to run inside a D-Bus session";
    EXPECT_EQ(wine::RunUnixCaptured("printf %s \"$DBUS_SESSION_BUS_ADDRESS\""), address);
}

TEST_F(Registration, GioMarksTheProgramAndTheEntryWithTheIcon) {
    wine::RegisterLinuxApp(false, false, "");
    ASSERT_TRUE(host::FileExists(OwnEntry()));
    const std::string iconPrefix =
        "file:///home/" + User() + "/.local/share/icons/lumora_wine_tests.";
    EXPECT_EQ(CustomIconOf(host::ProgramPath()).rfind(iconPrefix, 0), 0u);
    EXPECT_EQ(CustomIconOf(OwnEntry()).rfind(iconPrefix, 0), 0u);
}

TEST_F(Registration, GioReceivesNamesWithApostrophesAndShellSyntaxIntact) {
    TempFolder folder;
    const std::string dir = host::Narrow(folder.Path());
    const std::string file = dir + "Pat O'Brien $(echo x) `id`.exe";
    const std::string icon = dir + "O'Brien's icon.png";
    ASSERT_TRUE(testing_support::WriteBytes(host::Widen(file), "exe"));
    ASSERT_TRUE(testing_support::WriteBytes(host::Widen(icon), "png"));
    wine::SetCustomIcon(file, icon);
    EXPECT_EQ(CustomIconOf(file), "file://" + wine::ToUnixPath(icon));
}

TEST_F(Registration, CreateDesktopEntryReportsAnEntryThatCannotBeWritten) {
    // A folder in the entry's place: the file cannot be created.
    ASSERT_TRUE(testing_support::MakeFolder(host::Widen(OwnEntry())));
    EXPECT_EQ(wine::CreateDesktopEntry(host::ProgramPath(), false, ""), 0);
    RemovePath(OwnEntry());
    EXPECT_EQ(wine::CreateDesktopEntry(host::ProgramPath(), false, ""), 1);
    EXPECT_EQ(Lines(ReadBytes(OwnEntry())).size(), 8u);
}

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
    EXPECT_EQ(lines[3], "Exec=env WINEPREFIX=\"/home/" + User() + "/.wine\" wine " +
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
    // Without the applications folder no entry can be written.
    const std::string applications = Home() + ".local\\share\\applications";
    const std::wstring moved = host::Widen(applications + "-moved");
    ASSERT_TRUE(::MoveFileW(host::Widen(applications).c_str(), moved.c_str()));
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
    TempFolder folder;
    const std::wstring program = folder.Path() + L"lumora_wine_tests.exe";
    ASSERT_TRUE(::CopyFileW(host::Widen(host::ProgramPath()).c_str(), program.c_str(), FALSE));
    const std::wstring marker = folder.Path() + L"relaunched.txt";
    ::SetEnvironmentVariableW(kRelaunchMarkerVariable, marker.c_str());

    std::wstring commandLine = L"\"" + program +
                               L"\" --gtest_also_run_disabled_tests "
                               L"--gtest_filter=RegistrationChild.DISABLED_MoveAndRelaunch";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const bool started =
        ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         folder.Path().c_str(), &startup, &child) != 0;
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
    const std::string programPath = host::Narrow(program);
    EXPECT_EQ(ReadBytes(RelaunchBatch()),
              "TimeOut 1\r\ndel \"" + programPath + "\"\r\nstart \"\" \"" + AppsCopy() + "\"\r\n");
    const std::vector<std::string> lines = Lines(ReadBytes(OwnEntry()));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], "Exec=env WINEPREFIX=\"/home/" + User() + "/.wine\" wine " +
                            wine::ExecEscape(AppsCopy()));

    // The batch deletes the old file and starts the copy, which reports from C:\Apps.
    for (int i = 0; i < 80 && !host::FileExists(host::Narrow(marker)); ++i) ::Sleep(250);
    EXPECT_EQ(host::AsciiLower(ReadBytes(host::Narrow(marker))), "c:\\apps\\lumora_wine_tests.exe");
    for (int i = 0; i < 40 && host::FileExists(programPath); ++i) ::Sleep(250);
    EXPECT_FALSE(host::FileExists(programPath));
    // Let the relaunched copy end before C:\Apps is cleaned.
    ::Sleep(500);
}

}  // namespace

namespace {

uint32_t Be32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The real program, started from a folder of its own: its start-up registers it silently before
// its dialog appears, with its own icon exported for the entry.
TEST(RegistrationAtStartup, BuilderRegistersItselfSilentlyWithItsIcon) {
    const std::string entry = Home() + ".local\\share\\applications\\wine-lumora-builder.desktop";
    const std::string icons = Home() + ".local\\share\\icons\\";
    for (const std::string& path :
         {entry, icons + "lumora-builder.ico", icons + "lumora-builder.png"})
        RemovePath(path);
    TempFolder folder;
    const std::wstring builtFolder = host::Widen(host::ProgramFolder());
    const std::wstring program = folder.Path() + L"Lumora-builder.exe";
    ASSERT_TRUE(::CopyFileW((builtFolder + L"Lumora-builder.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW((builtFolder + L"Lumora.exe").c_str(),
                            (folder.Path() + L"Lumora.exe").c_str(), FALSE));
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, folder.Path().c_str(), &startup, &child));
    HWND dialog = testing_support::WaitForWindow(child.dwProcessId, L"Lumora-builder 1.6");
    EXPECT_NE(dialog, nullptr);
    // A message box would have held the start-up: the dialog appearing shows none came first.
    const std::string text = ReadBytes(entry);
    if (dialog) ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(child.hProcess, 20000) == WAIT_TIMEOUT)
        ::TerminateProcess(child.hProcess, 1);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);

    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2], "StartupWMClass=lumora-builder.exe");
    EXPECT_EQ(lines[3], "NoDisplay=true");
    EXPECT_EQ(lines[7], "Icon=lumora-builder");
    EXPECT_TRUE(host::FileExists(icons + "lumora-builder.ico"));
    const std::string png = ReadBytes(icons + "lumora-builder.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(Be32(png, 0), 0x89504E47u);
    EXPECT_EQ(Be32(png, 16), 128u);  // IHDR width
    EXPECT_EQ(Be32(png, 20), 128u);  // IHDR height
    RemovePath(entry);
}

}  // namespace
