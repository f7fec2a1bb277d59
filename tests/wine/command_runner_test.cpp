#include "host/command_runner_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <string_view>
#include <thread>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/wait_win.h"
#include "host/whole_file_win.h"
#include "tests/wine/wine_test_support.h"

namespace {

// Started with this argument, the test program only sleeps three seconds and ends: a command
// that takes its time, for the tests of the wait.
constexpr std::wstring_view kSleepArgument = L"--lumora-test-sleep";
[[maybe_unused]] const bool sleeperMode = [] {
    if (std::wstring_view(::GetCommandLineW()).find(kSleepArgument) != std::wstring_view::npos) {
        ::Sleep(3000);
        ::ExitProcess(0);
    }
    return false;
}();

// A folder of its own in TEMP for one test, removed with everything in it afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : path_(host::EnvironmentVariable("TEMP") + "\\" + name + " " +
                std::to_string(::GetCurrentProcessId()) + "\\") {
        ::CreateDirectoryW(host::Widen(path_).c_str(), nullptr);
    }
    ~ScratchFolder() { testing_support::RemoveTree(host::Widen(path_)); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    // The path without its trailing backslash, as "cd" prints it.
    std::string Bare() const { return path_.substr(0, path_.size() - 1); }

private:
    std::string path_;
};

std::string Captured(const std::string& command, const std::string& folder) {
    const std::optional<std::string> output = host::RunCommandCaptured(command, folder);
    EXPECT_TRUE(output.has_value()) << "refused: " << command;
    return output.value_or("<refused>");
}

// Neither this process's batch files nor its capture files are left in the folder.
void ExpectNoTemporaryFiles(const std::string& folder) {
    const std::string id = std::to_string(::GetCurrentProcessId());
    for (const std::string& pattern : {"temp-" + id + "-*.bat", "dump-" + id + "-*.txt"}) {
        WIN32_FIND_DATAW found;
        const host::UniqueFind search(
            ::FindFirstFileW(host::Widen(folder + pattern).c_str(), &found));
        EXPECT_FALSE(search) << folder << pattern;
    }
}

TEST(CommandRunner, CapturesBothStreamsWithoutTrailingLineBreaks) {
    const ScratchFolder scratch("runner streams");
    ASSERT_TRUE(host::WriteWholeFile(scratch.Path() + "streams.bat",
                                     "@echo off\r\necho out\r\necho err>&2\r\necho.\r\necho.\r\n"));
    ASSERT_TRUE(host::WriteWholeFile(scratch.Path() + "errors.bat", "@echo only on stderr>&2\r\n"));
    EXPECT_EQ(Captured("streams.bat", scratch.Path()), "out\r\nerr");
    EXPECT_EQ(Captured("errors.bat", scratch.Path()), "only on stderr");
    EXPECT_EQ(Captured("cd .", scratch.Path()), "");
    // "rem" ignores its redirection: no capture file at all also gives "".
    EXPECT_EQ(Captured("rem nothing", scratch.Path()), "");
    // The run's own files carry this process's id: another instance never touches them.
    const std::string listing = Captured("dir /b", scratch.Path());
    const std::string id = std::to_string(::GetCurrentProcessId());
    EXPECT_NE(listing.find("temp-" + id + "-"), std::string::npos) << listing;
    EXPECT_NE(listing.find("dump-" + id + "-"), std::string::npos) << listing;
    ExpectNoTemporaryFiles(scratch.Path());
}

TEST(CommandRunner, ReturnsLongOutputWhole) {
    const ScratchFolder scratch("runner long");
    std::string big;
    for (int line = 0; big.size() < 200 * 1024; ++line) {
        big += "line " + std::to_string(line) + " of a long listing, with some text after it\r\n";
    }
    ASSERT_TRUE(host::WriteWholeFile(scratch.Path() + "big.txt", big));
    const std::string output = Captured("type big.txt", scratch.Path());
    EXPECT_EQ(output.size(), big.size() - 2);
    EXPECT_TRUE(output == big.substr(0, big.size() - 2));
    ExpectNoTemporaryFiles(scratch.Path());
}

TEST(CommandRunner, WorkingFolderRule) {
    const ScratchFolder scratch("runner folder");
    EXPECT_EQ(Captured("cd", scratch.Path() + "\\"), scratch.Bare());  // two trailing backslashes
    ExpectNoTemporaryFiles(scratch.Path());
    {
        // An empty folder means the temporary folder, as every temporary file of the program.
        const testing_support::ScopedVariable tmp(L"TMP", host::Widen(scratch.Bare()).c_str());
        const testing_support::ScopedVariable temp(L"TEMP", host::Widen(scratch.Bare()).c_str());
        EXPECT_EQ(Captured("cd", ""), scratch.Bare());
    }
    {
        // Without TMP and TEMP the system still names a folder for them: never the drive root.
        wchar_t oldCurrent[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, oldCurrent);
        ASSERT_TRUE(::SetCurrentDirectoryW(host::Widen(scratch.Path()).c_str()));
        const testing_support::ScopedVariable tmp(L"TMP", nullptr);
        const testing_support::ScopedVariable temp(L"TEMP", nullptr);
        const std::string output = Captured("cd", "");
        const std::string fallback = host::TempFolder();
        ::SetCurrentDirectoryW(oldCurrent);
        EXPECT_EQ(output + "\\", fallback);
        EXPECT_NE(output, scratch.Path().substr(0, 3));
        ExpectNoTemporaryFiles(fallback);
    }
}

TEST(CommandRunner, QuotesPercentSignsAndNonAsciiNamesReachTheCommand) {
    // A folder and a file whose names cmd would otherwise mangle: "%x%" is a variable reference
    // in a batch file, and no single code page holds both "é" and "写真".
    const ScratchFolder scratch("Caf\xC3\xA9 \xE5\x86\x99\xE7\x9C\x9F 100%x%");
    const testing_support::ScopedVariable x(L"x", L"WRONG");
    const std::string file = "in side 100%x% \xE5\x86\x99.txt";
    ASSERT_TRUE(host::WriteWholeFile(scratch.Path() + file, "hello from inside"));
    ASSERT_TRUE(host::WriteWholeFile(scratch.Path() + "Caf\xC3\xA9.txt", ""));

    EXPECT_EQ(Captured("type \"" + file + "\"", scratch.Path()), "hello from inside");
    EXPECT_EQ(Captured("type \"" + scratch.Path() + file + "\"", ""), "hello from inside");
    // What cmd prints in its console code page comes back as UTF-8.
    EXPECT_NE(Captured("dir /b", scratch.Path()).find("Caf\xC3\xA9.txt"), std::string::npos);
    ExpectNoTemporaryFiles(scratch.Path());
    EXPECT_EQ(host::EnvironmentVariable("LUMORA_RUN_TEXT_1"), "");
}

// A stand-in for the dialog: counts the timer ticks and cross-thread messages it answers while
// a command runs, and tries a second run from inside one of them.
struct WaitObserver {
    int ticks = 0;
    std::optional<std::string> nestedRun = std::string("<not tried>");
    bool postedQuit = false;
};
WaitObserver* observer = nullptr;

LRESULT CALLBACK ObserverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && observer != nullptr) {
        if (++observer->ticks == 2) {
            observer->nestedRun = host::RunCommandCaptured("echo nested", "");
            // A quit request met during the wait belongs to the caller's message loop.
            ::PostQuitMessage(7);
            observer->postedQuit = true;
        }
        return 0;
    }
    if (message == WM_APP) return 42;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(CommandRunner, WindowKeepsAnsweringDuringTheWaitAndOverlapIsRefused) {
    const ScratchFolder scratch("runner wait");
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ObserverProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LumoraWaitObserver";
    ::RegisterClassW(&windowClass);
    const HWND window = ::CreateWindowExW(0, L"LumoraWaitObserver", L"", WS_OVERLAPPED, 0, 0, 50,
                                          50, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    WaitObserver seen;
    observer = &seen;
    ::SetTimer(window, 1, 50, nullptr);

    // Another thread sends messages that only a thread reading its queue can answer.
    std::atomic<bool> running{true};
    std::atomic<int> answered{0};
    std::atomic<int> sent{0};
    std::atomic<bool> senderDone{false};
    std::thread sender([&] {
        ::Sleep(300);
        while (running) {
            DWORD_PTR result = 0;
            ++sent;
            if (::SendMessageTimeoutW(window, WM_APP, 0, 0, SMTO_NORMAL, 2000, &result) &&
                result == 42) {
                ++answered;
            }
            ::Sleep(200);
        }
        senderDone = true;
    });
    std::string command = "\"";
    command += host::ProgramPath();
    command += "\" ";
    command += host::Narrow(std::wstring(kSleepArgument));
    const std::optional<std::string> output = host::RunCommandCaptured(command, scratch.Path());
    running = false;
    // A message sent just as the run ended still needs this thread to answer it: peeking for a
    // message that never comes delivers sent ones and leaves the posted WM_QUIT in the queue.
    while (!senderDone) {
        MSG none;
        ::PeekMessageW(&none, nullptr, WM_APP + 1, WM_APP + 1, PM_NOREMOVE);
        ::Sleep(5);
    }
    sender.join();
    ::KillTimer(window, 1);
    observer = nullptr;

    ASSERT_TRUE(output.has_value());
    EXPECT_EQ(*output, "");
    EXPECT_GE(seen.ticks, 5) << "timer messages handled during a three-second command";
    EXPECT_GE(sent.load(), 3);
    EXPECT_EQ(answered.load(), sent.load()) << "messages sent from another thread were answered";
    EXPECT_FALSE(seen.nestedRun.has_value()) << "a second run during the wait must be refused";
    ASSERT_TRUE(seen.postedQuit);
    MSG message;
    bool quitKept = false;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) quitKept = message.wParam == 7;
    }
    EXPECT_TRUE(quitKept) << "WM_QUIT taken during the wait is posted again";
    ::DestroyWindow(window);
    ExpectNoTemporaryFiles(scratch.Path());
    // Once the run is over, runs are accepted again.
    EXPECT_EQ(Captured("cd", scratch.Path()), scratch.Bare());
}

// File work run aside: the work waits for a message that only this thread can handle, so it
// ends only if the messages are handled meanwhile; the call returns once the work is over.
HANDLE messageHandled = nullptr;
LRESULT CALLBACK SignallingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) ::SetEvent(messageHandled);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(CommandRunner, WorkRunAsideEndsBeforeTheCallWhileThisThreadAnswers) {
    const host::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    messageHandled = event.Get();
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SignallingProc));
    ::PostMessageW(window, WM_APP, 0, 0);
    DWORD workThread = 0;
    bool handledDuringWork = false;
    bool workEnded = false;
    host::RunDispatching([&] {
        workThread = ::GetCurrentThreadId();
        handledDuringWork = ::WaitForSingleObject(event.Get(), 5000) == WAIT_OBJECT_0;
        ::Sleep(100);
        workEnded = true;
    });
    EXPECT_TRUE(workEnded);
    EXPECT_TRUE(handledDuringWork) << "this thread's messages were not handled during the work";
    EXPECT_NE(workThread, ::GetCurrentThreadId());
    ::DestroyWindow(window);
    messageHandled = nullptr;
}

// The start-up's ImageMagick test reads the captured version text; stand-ins for "magick" on
// the search path show what it gets to see.
TEST(CommandRunner, VersionTextOfAStandInMagick) {
    const ScratchFolder bin("runner magick");
    const std::string path = host::EnvironmentVariable("PATH");
    const testing_support::ScopedVariable searchPath(L"PATH",
                                                     host::Widen(bin.Bare() + ";" + path).c_str());

    ASSERT_TRUE(host::WriteWholeFile(
        bin.Path() + "magick.bat",
        "@echo Version: ImageMagick 7.1.1-15 Q16-HDRI x64 https://imagemagick.org\r\n"
        "@echo Copyright: (C) 1999 ImageMagick Studio LLC\r\n"));
    const std::string installed = Captured("magick convert -version", "");
    EXPECT_NE(installed.find("ImageMagick"), std::string::npos) << installed;
    EXPECT_TRUE(installed.starts_with("Version: ImageMagick 7.1.1-15")) << installed;

    ASSERT_TRUE(
        host::WriteWholeFile(bin.Path() + "magick.bat", "@echo version: imagemagick 7\r\n"));
    const std::string lowerCase = Captured("magick convert -version", "");
    EXPECT_EQ(lowerCase, "version: imagemagick 7");
    EXPECT_EQ(lowerCase.find("ImageMagick"), std::string::npos);

    ::DeleteFileW(host::Widen(bin.Path() + "magick.bat").c_str());
    const std::string absent = Captured("magick convert -version", "");
    EXPECT_FALSE(absent.empty()) << "cmd's complaint is captured too";
    EXPECT_EQ(absent.find("ImageMagick"), std::string::npos) << absent;
}

TEST(CommandRunner, StartFailureEndsTheWaitAtOnceAndEveryWaitHasALimit) {
    EXPECT_FALSE(host::StartHiddenProcess("\"C:\\no such folder\\nothing.exe\""));
    host::UniqueHandle none;
    EXPECT_TRUE(host::WaitForProcessEnd(none));  // a failed start leaves nothing to wait for
    EXPECT_FALSE(none);
    // A process that outlives the limit is ended rather than waited for.
    std::string line = host::ProgramPath();
    line.insert(0, 1, '"').append("\" ").append(host::Narrow(std::wstring(kSleepArgument)));
    std::optional<host::StartedProcess> started = host::StartHiddenProcess(line);
    ASSERT_TRUE(started);
    host::UniqueHandle sleeper = std::move(started->process);
    ASSERT_TRUE(sleeper);
    HANDLE copy = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), sleeper.Get(), ::GetCurrentProcess(),
                                  &copy, SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                  0));
    const host::UniqueHandle watched(copy);
    EXPECT_FALSE(host::WaitForProcessEnd(sleeper, std::chrono::milliseconds(1000)));
    EXPECT_FALSE(sleeper);
    EXPECT_EQ(::WaitForSingleObject(watched.Get(), 5000), WAIT_OBJECT_0) << "still running";
    // A folder that cannot hold the batch file: nothing runs, nothing is captured.
    EXPECT_EQ(Captured("echo never", "C:\\no such folder\\"), "");
}

}  // namespace
