#include "tests/wine/wine_test_support.h"

#include <sstream>
#include <thread>

#include "host/text_encoding_win.h"

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

HWND FindProcessWindow(DWORD processId, const std::wstring& caption) {
    FindRequest request{processId, &caption, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

}  // namespace

std::wstring Extended(const std::wstring& path) {
    if (path.size() > 2 && path[1] == L':') return L"\\\\?\\" + path;
    return path;
}

bool MakeFolder(const std::wstring& path) {
    return ::CreateDirectoryW(Extended(path).c_str(), nullptr) != 0;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

void RemoveTree(const std::wstring& path) {
    std::wstring folder = path;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    WIN32_FIND_DATAW entry{};
    HANDLE find = ::FindFirstFileW(Extended(folder + L"*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(folder + name);
            } else {
                ::DeleteFileW(Extended(folder + name).c_str());
            }
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(Extended(folder).c_str());
}

TempFolder::TempFolder() {
    static int counter = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + L"lumora-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"\\";
    RemoveTree(path_);
    MakeFolder(path_);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

ScopedVariable::ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
    const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size > 0) {
        old_.resize(size);
        old_.resize(::GetEnvironmentVariableW(name, old_.data(), size));
        hadValue_ = true;
    }
    ::SetEnvironmentVariableW(name, value);
}

ScopedVariable::~ScopedVariable() {
    ::SetEnvironmentVariableW(name_, hadValue_ ? old_.c_str() : nullptr);
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

HWND WaitForWindow(DWORD processId, const std::wstring& caption, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (HWND window = FindProcessWindow(processId, caption)) return window;
        if (std::chrono::steady_clock::now() >= end) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& currentFolder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program + L"\"";
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
        return value == std::string::npos ? std::string() : line.substr(value);
    }
    return "<no " + name + ">";
}

}  // namespace testing_support
