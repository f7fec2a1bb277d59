// Helpers of the Wine tests for windows, message boxes, child processes and the Unix side.
#include "tests/wine/wine_test_support.h"

#include <sstream>
#include <thread>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"

namespace testing_support {
namespace {

struct FindRequest {
    DWORD processId;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* request = reinterpret_cast<FindRequest*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != request->processId || !::IsWindowVisible(window)) return TRUE;
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    if (*request->caption != text) return TRUE;
    request->found = window;
    return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const std::wstring& caption) {
    FindRequest request{processId, &caption, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

BoxAnswerer::BoxAnswerer(std::vector<int> buttons)
    : buttons_(std::move(buttons)), thread_([this] { Run(); }) {}

const std::vector<Box>& BoxAnswerer::Finish() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
    return seen_;
}

void BoxAnswerer::Run() {
    const std::wstring caption = host::Widen(host::ProgramName());
    for (size_t index = 0; !done_;) {
        HWND box = FindProcessWindow(::GetCurrentProcessId(), caption);
        if (!box) {
            ::Sleep(50);
            continue;
        }
        Box seen;
        seen.text = MessageBoxText(box);
        seen.hasCancel = ::GetDlgItem(box, IDCANCEL) != nullptr;
        seen_.push_back(seen);
        const int button = index < buttons_.size() ? buttons_[index++] : IDCANCEL;
        ::PostMessageW(box, WM_COMMAND, button, 0);
        // An unplanned OK-only box has no Cancel: its OK ends it.
        if (button == IDCANCEL && !seen.hasCancel) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 200 && ::IsWindow(box); ++i) ::Sleep(25);
    }
}

std::wstring MessageBoxText(HWND box) {
    wchar_t text[2048] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
    return text;
}

std::future<BoxSeen> CloseMessageBoxLater(std::wstring caption, DWORD processId) {
    return std::async(std::launch::async, [caption, processId] {
        BoxSeen seen;
        for (int attempt = 0; attempt < 200; ++attempt) {
            if (HWND box = FindProcessWindow(processId, caption)) {
                seen.found = true;
                seen.text = MessageBoxText(box);
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                return seen;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return seen;
    });
}

std::future<std::wstring> CancelOwnedWindowLater(HWND owner) {
    return std::async(std::launch::async, [owner] {
        for (int attempt = 0; attempt < 400; ++attempt) {
            HWND found = nullptr;
            for (HWND w = ::GetTopWindow(nullptr); w && !found; w = ::GetWindow(w, GW_HWNDNEXT)) {
                DWORD processId = 0;
                ::GetWindowThreadProcessId(w, &processId);
                if (processId == ::GetCurrentProcessId() && ::IsWindowVisible(w) &&
                    ::GetWindow(w, GW_OWNER) == owner) {
                    found = w;
                }
            }
            if (found) {
                wchar_t caption[512] = {};
                ::GetWindowTextW(found, caption, 512);
                ::PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
                return std::wstring(caption);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::wstring();
    });
}

HWND WaitForWindow(DWORD processId, const std::wstring& caption, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (HWND window = FindProcessWindow(processId, caption)) return window;
        if (std::chrono::steady_clock::now() >= end) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& currentFolder,
                           const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          currentFolder.c_str(), &startup, &info)) {
        return;
    }
    host::UniqueHandle thread(info.hThread);
    process_.Reset(info.hProcess);
    id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.Get(), 1);
        ::WaitForSingleObject(process_.Get(), 5000);
    }
}

DWORD ChildProcess::ExitCode() const {
    if (!process_) return STILL_ACTIVE;
    ::WaitForSingleObject(process_.Get(), 20000);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.Get(), &code);
    return code;
}

std::string UnixPathOf(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix) return {};
    char* unix = toUnix(path.c_str());
    if (!unix) return {};
    std::string result(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

std::string Lnkinfo(const std::wstring& lnk, const std::wstring& scratchFolder) {
    const std::wstring script = scratchFolder + L"lnkinfo.sh";
    const std::wstring out = scratchFolder + L"lnkinfo.txt";
    ::DeleteFileW(out.c_str());
    const std::string unixOut = UnixPathOf(out);
    // Written under another name and renamed, so that the file appears complete.
    if (!WriteBytes(script, "/usr/bin/lnkinfo '" + UnixPathOf(lnk) + "' > '" + unixOut +
                                ".part' 2>&1\nmv '" + unixOut + ".part' '" + unixOut + "'\n")) {
        return "cannot write the script";
    }
    std::wstring command = L"start.exe /unix /bin/sh " + host::Widen(UnixPathOf(script));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &process)) {
        return "CreateProcess failed";
    }
    host::UniqueHandle processHandle(process.hProcess);
    host::UniqueHandle threadHandle(process.hThread);
    for (int attempt = 0; attempt < 150; ++attempt) {
        host::UniqueFile file(::CreateFileW(out.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            std::string report(65536, '\0');
            DWORD read = 0;
            ::ReadFile(file.Get(), report.data(), static_cast<DWORD>(report.size()), &read,
                       nullptr);
            report.resize(read);
            return report;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "lnkinfo gave no output";
}

std::string LnkinfoField(const std::string& report, const std::string& name) {
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const size_t start = line.find_first_not_of(" \t");
        const size_t end = line.find_last_not_of(" \t", colon - 1);
        if (start >= colon || line.compare(start, end + 1 - start, name) != 0) continue;
        const size_t value = line.find_first_not_of(" \t", colon + 1);
        if (value == std::string::npos) return {};
        // lnkinfo 20240423 writes each backslash of a path as two, 20181227 as one. No path read
        // here holds two in a row, so two are read as one.
        std::string text = line.substr(value);
        for (size_t pair = text.find("\\\\"); pair != std::string::npos;
             pair = text.find("\\\\", pair + 1)) {
            text.erase(pair, 1);
        }
        return text;
    }
    return "<no " + name + ">";
}

}  // namespace testing_support
