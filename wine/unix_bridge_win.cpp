#include "wine/unix_bridge_win.h"

#include <windows.h>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/whole_file_win.h"
#include "wine/unix_bridge.h"
#include "wine/wine_detect_win.h"

namespace wine {

std::string WineVersionCache;

namespace {

constexpr DWORD kStartPauseMs = 250;
constexpr DWORD kPollMs = 250;
constexpr double kCaptureLimitSeconds = 3.0;
// start.exe only hands the program over to the Unix side, so it ends at once; the limit only
// keeps a wedged start from freezing the window for good.
constexpr DWORD kChmodWaitMs = 10000;

std::string CachedStartSwitch() {
    if (WineVersionCache.empty()) WineVersionCache = WineVersion();
    return StartSwitch(WineVersionCache);
}

std::string UserName() { return host::EnvironmentVariable("USERNAME"); }

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

// Whatever the file holds right now; the shell may still be writing it, hence the sharing.
std::string ReadFileNow(const std::string& path) {
    host::UniqueFile file(::CreateFileW(host::Widen(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > 0x7fffffff)
        return {};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    return bytes;
}

}  // namespace

void WriteUnixScript(const std::string& command) {
    const std::string startSwitch = CachedStartSwitch();
    const std::string user = UserName();
    const std::string scriptPath = WindowsScriptPath(user);
    // Deleted and created anew, never rewritten in place: a shell still running the previous
    // script keeps reading the file it opened.
    ::DeleteFileW(host::Widen(scriptPath).c_str());
    host::WriteWholeFile(scriptPath, UnixScriptBytes(command));
    if (host::UniqueHandle chmod = StartHidden(ChmodCommandLine(startSwitch, user)))
        ::WaitForSingleObject(chmod.Get(), kChmodWaitMs);
}

void RunUnixCommand(const std::string& command) {
    const std::string startSwitch = CachedStartSwitch();
    WriteUnixScript(command);
    // /bin/sh is named explicitly, so the script's first line does not pick the shell.
    StartHidden(RunScriptCommandLine(startSwitch, UserName()));
    ::Sleep(kStartPauseMs);
}

std::string RunUnixCaptured(const std::string& command) {
    const std::string user = UserName();
    const std::string logPath = WindowsLogPath(user);
    ::DeleteFileW(host::Widen(logPath).c_str());
    RunUnixCommand(CapturedCommand(command, user));
    std::string output;
    for (double elapsed = 0; output.empty() && elapsed < kCaptureLimitSeconds;) {
        ::Sleep(kPollMs);
        elapsed += kPollMs / 1000.0;
        output = ReadFileNow(logPath);
    }
    return output;
}

}  // namespace wine
