#include "wine/unix_bridge_win.h"

#include <windows.h>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/wait_win.h"
#include "host/whole_file_win.h"
#include "wine/unix_bridge.h"
#include "wine/wine_detect_win.h"
#include "wine/wine_home_win.h"

namespace wine {

std::string WineVersionCache;

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kStartPause{250};
constexpr milliseconds kCaptureLimit{3000};
// start.exe only hands the program over to the Unix side, so it ends at once; the limit only
// keeps a wedged start from holding the caller for good.
constexpr milliseconds kChmodLimit{10000};

std::string CachedStartSwitch() {
    if (WineVersionCache.empty()) WineVersionCache = WineVersion();
    return StartSwitch(WineVersionCache);
}

// Starts a console command line with no window; the process handle, or empty when it failed.
host::UniqueHandle StartHidden(const std::string& commandLine) {
    std::wstring line = host::Widen(commandLine);  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &startup, &process))
        return {};
    host::UniqueHandle thread(process.hThread);
    return host::UniqueHandle(process.hProcess);
}

}  // namespace

void WriteUnixScript(const std::string& command) {
    const std::string startSwitch = CachedStartSwitch();
    const WineHome home = CurrentWineHome();
    const std::string scriptPath = WindowsScriptPath(home);
    // Deleted and created anew, never rewritten in place: a shell still running the previous
    // script keeps reading the file it opened.
    ::DeleteFileW(host::Widen(scriptPath).c_str());
    host::WriteWholeFile(scriptPath, UnixScriptBytes(command));
    if (host::UniqueHandle chmod = StartHidden(ChmodCommandLine(startSwitch, home)))
        host::WaitDispatching(chmod.Get(), kChmodLimit);
}

void RunUnixCommand(const std::string& command) {
    const std::string startSwitch = CachedStartSwitch();
    WriteUnixScript(command);
    // /bin/sh is named explicitly, so the script's first line does not pick the shell.
    StartHidden(RunScriptCommandLine(startSwitch, CurrentWineHome()));
    host::WaitDispatching(nullptr, kStartPause);
}

std::string RunUnixCaptured(const std::string& command) {
    const WineHome home = CurrentWineHome();
    const std::string logPath = WindowsLogPath(home);
    ::DeleteFileW(host::Widen(logPath).c_str());
    RunUnixCommand(CapturedCommand(command, home));
    // The shell may still be writing the log: the first text that shows is taken.
    std::string output;
    host::WaitDispatchingUntil(
        [&] {
            output = host::ReadWholeFile(logPath, std::string::npos).value_or(std::string());
            return !output.empty();
        },
        kCaptureLimit);
    return output;
}

}  // namespace wine
