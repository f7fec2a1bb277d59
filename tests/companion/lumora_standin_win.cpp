// Stand-in for the companion viewer Lumora.exe, for trying the tool without the real viewer.
// It shows the folder it was started in (the working directory a shortcut gives it). When
// LUMORA_STANDIN_REPORT names a file, it writes the folder there as UTF-8 instead, for tests.
#include <windows.h>

#include <string>

namespace {

std::wstring CurrentFolder() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(size, folder.data());
    folder.resize(length < size ? length : 0);
    return folder;
}

std::wstring ReportPath() {
    const DWORD size = ::GetEnvironmentVariableW(L"LUMORA_STANDIN_REPORT", nullptr, 0);
    if (size == 0) return {};
    std::wstring path(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(L"LUMORA_STANDIN_REPORT", path.data(), size);
    path.resize(length < size ? length : 0);
    return path;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring folder = CurrentFolder();
    const std::wstring report = ReportPath();
    if (report.empty()) {
        const std::wstring text = L"Lumora (stand-in) was started in:\n" + folder;
        ::MessageBoxW(nullptr, text.c_str(), L"Lumora", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, folder.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, folder.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    const HANDLE file = ::CreateFileW(report.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    ::WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    ::CloseHandle(file);
    return 0;
}
