// Helpers of the Wine tests for files, folders, the environment and the test user's home.
#include "tests/wine/wine_test_support.h"

#include <algorithm>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"

namespace testing_support {

std::wstring Extended(const std::wstring& path) {
    if (path.size() <= 2 || path[1] != L':') return path;
    // Behind the prefix Windows takes every character literally: '/' is no separator there.
    std::wstring extended = L"\\\\?\\" + path;
    std::replace(extended.begin(), extended.end(), L'/', L'\\');
    return extended;
}

bool MakeFolder(const std::wstring& path) {
    return ::CreateDirectoryW(Extended(path).c_str(), nullptr) != 0;
}

std::string ReadBytes(const std::wstring& path) {
    const host::UniqueFile file(::CreateFileW(Extended(path).c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

std::string ReadBytes(const std::string& path) { return ReadBytes(host::Widen(path)); }

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    const host::UniqueFile file(::CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return ok && written == bytes.size();
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    return WriteBytes(host::Widen(path), bytes);
}

void RemovePath(const std::string& path) {
    const std::wstring wide = host::Widen(path);
    if (!::DeleteFileW(Extended(wide).c_str())) RemoveTree(wide);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::uint32_t Be32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (size_t i = 4; i > 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i - 1]);
    return value;
}

std::wstring BuiltFile(const std::wstring& name) {
    return host::Widen(host::ProgramFolder()) + name;
}

std::string UserName() { return host::EnvironmentVariable("USERNAME"); }
std::string HomeWindows() { return "z:\\home\\" + UserName() + "\\"; }
std::string HomeUnix() { return "/home/" + UserName() + "/"; }

std::string OwnEntry() {
    return HomeWindows() + ".local\\share\\applications\\wine-lumora_wine_tests.desktop";
}
std::string AppsCopy() { return "C:\\Apps\\lumora_wine_tests.exe"; }
std::string AppsCompanion() { return "C:\\Apps\\Lumora.exe"; }
std::string RelaunchBatch() {
    return host::EnvironmentVariable("TEMP") + "\\lumora_wine_tests.bat";
}

void RegistrationFixture::Clean() {
    RemovePath(OwnEntry());
    RemovePath(HomeWindows() + ".local\\share\\icons\\lumora_wine_tests.ico");
    RemovePath(HomeWindows() + ".local\\share\\icons\\lumora_wine_tests.png");
    RemovePath(AppsCopy());
    RemovePath(AppsCompanion());
    RemovePath(RelaunchBatch());
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

std::vector<int> IconSizes(const std::string& ico) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(ico[i]); };
    if (ico.size() < 6 || byte(0) || byte(1) || byte(2) != 1 || byte(3)) return {};
    const size_t count = byte(4) | byte(5) << 8;
    if (ico.size() < 6 + 16 * count) return {};
    std::vector<int> sizes;
    for (size_t i = 0; i < count; ++i) {
        const int width = byte(6 + 16 * i) ? byte(6 + 16 * i) : 256;
        const int height = byte(7 + 16 * i) ? byte(7 + 16 * i) : 256;
        sizes.push_back(width == height ? width : -1);
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

bool EveryIconImageHas8BitChannels(const std::string& ico) {
    const auto byte = [&](size_t i) {
        return i < ico.size() ? static_cast<unsigned char>(ico[i]) : 0u;
    };
    const auto le32 = [&](size_t i) {
        return byte(i) | byte(i + 1) << 8 | byte(i + 2) << 16 |
               static_cast<unsigned>(byte(i + 3)) << 24;
    };
    const size_t count = byte(4) | byte(5) << 8;
    for (size_t i = 0; i < count; ++i) {
        const size_t image = le32(6 + 16 * i + 12);
        if (image + 26 > ico.size()) return false;
        // A PNG's header chunk holds its bit depth and colour type; a bitmap's header its bits
        // per pixel.
        const bool png = ico.compare(image, 4, "\x89PNG") == 0;
        const bool whole = png ? byte(image + 24) == 8 && byte(image + 25) == 6
                               : (byte(image + 14) | byte(image + 15) << 8) == 32;
        if (!whole) return false;
    }
    return count > 0;
}

}  // namespace testing_support
