#include "tests/wine/wine_test_support.h"

#include <thread>

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

HWND WaitForWindow(DWORD processId, const std::wstring& caption) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (HWND window = FindProcessWindow(processId, caption)) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return nullptr;
}

}  // namespace testing_support
