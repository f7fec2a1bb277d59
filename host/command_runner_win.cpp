#include "host/command_runner_win.h"

#include <windows.h>

#include <cstdint>

#include <string_view>

#include "host/batch_file.h"
#include "host/command_search.h"
#include "host/environment_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/wait_win.h"
#include "host/whole_file_win.h"

namespace host {

namespace {

// One user-interface thread: a run is "in progress" while its wait dispatches messages.
bool runInProgress = false;

// The console code page a command interpreter starts with: the system's OEM code page. Asked of
// the system locale because this process's own OEM code page follows its manifest (UTF-8).
UINT SystemOemCodePage() {
    wchar_t digits[8] = {};
    if (::GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTCODEPAGE, digits, 8) == 0) {
        return CP_OEMCP;
    }
    UINT codePage = 0;
    for (const wchar_t* p = digits; *p >= L'0' && *p <= L'9'; ++p)
        codePage = codePage * 10 + (*p - L'0');
    return codePage == 0 ? CP_OEMCP : codePage;
}

// cmd writes what its own commands print in the console code page; programs it runs may write
// UTF-8. Text that is valid UTF-8 is kept, anything else is read in the console code page.
std::string CapturedTextAsUtf8(const std::string& bytes) {
    if (IsValidUtf8(bytes)) return bytes;
    const UINT codePage = SystemOemCodePage();
    const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(),
                                             static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                          length);
    return Narrow(wide);
}

}  // namespace

std::optional<StartedProcess> StartHiddenProcess(const std::string& commandLine,
                                                 const std::string& workingFolder, bool suspended) {
    std::wstring line = Widen(commandLine);  // CreateProcessW may write into it
    const std::wstring folder = Widen(workingFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    const DWORD flags = CREATE_NO_WINDOW | (suspended ? CREATE_SUSPENDED : 0);
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        return std::nullopt;
    }
    return StartedProcess{UniqueHandle(started.hProcess), UniqueHandle(started.hThread)};
}

void ReleaseProcessHandle(UniqueHandle& process) { process.Reset(); }

bool WaitForExitWithin(HANDLE process, std::chrono::milliseconds limit) {
    // A quit request met meanwhile is handed on by the wait; the process is waited for anyway,
    // as its files are cleaned up afterwards.
    WaitDispatching(process, limit);
    // Asked of the process itself: a held quit request makes the wait answer Quit either way.
    const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    if (!ended) ::TerminateProcess(process, 1);
    return ended;
}

bool WaitForProcessEnd(UniqueHandle& process, std::chrono::milliseconds limit) {
    const bool ended = !process || WaitForExitWithin(process.Get(), limit);
    ReleaseProcessHandle(process);
    return ended;
}

std::optional<std::string> RunCommandCaptured(std::string command, std::string folder) {
    // One run at a time: a second one, started from a message handled during the wait, is
    // refused rather than nested inside the first one's wait.
    if (runInProgress) return std::nullopt;
    const BusyScope busy = MarkBusy(runInProgress);

    const std::string workingFolder = CommandWorkingFolder(folder, TempFolder());
    static std::uint32_t runs = 0;
    const CommandFileNames names = CommandFiles(::GetCurrentProcessId(), ++runs);
    const std::string batchPath = workingFolder + names.batch;
    const std::string capturePath = workingFolder + names.capture;
    const BatchFile batch = MakeBatchFile(workingFolder, command, names.capture);

    // A capture left by an earlier process with this id must not pass for this command's output.
    ::DeleteFileW(Widen(capturePath).c_str());
    if (!WriteWholeFile(batchPath, batch.text)) {
        ::DeleteFileW(Widen(batchPath).c_str());
        return std::string();
    }
    UniqueHandle process;
    {
        ScopedEnvironment environment;
        for (const auto& [name, value] : batch.variables) environment.Set(name, value);
        // The interpreter is started as "cmd /c <batch path>" and expands %name% in that path:
        // the child must not know the names a folder like "100%x%" happens to contain.
        for (const std::string& name : PercentEnclosedNames(batchPath)) environment.Remove(name);
        // The system's interpreter by its full path: a cmd.exe in the program's or the current
        // folder is not it.
        std::optional<StartedProcess> started =
            StartHiddenProcess(ProgramCommandLine(SystemProgramPath("cmd.exe"), batchPath, ""));
        if (started) process = std::move(started->process);
    }
    WaitForProcessEnd(process);
    ::DeleteFileW(Widen(batchPath).c_str());

    const std::optional<std::string> captured = ReadWholeFile(capturePath, std::string::npos);
    ::DeleteFileW(Widen(capturePath).c_str());
    if (!captured) return std::string();
    return TrimTrailingLineBreaks(CapturedTextAsUtf8(*captured));
}

}  // namespace host
