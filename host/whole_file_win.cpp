#include "host/whole_file_win.h"

#include <windows.h>

#include "host/path_text.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"

namespace host {
namespace {

constexpr DWORD kMaxChunk = 0x40000000;

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > kMaxChunk ? kMaxChunk : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

void TempFileTraits::Close(const Type& path) noexcept {
    // Widen allocates; a guard must not throw from a destructor, so a failure leaves the file.
    try {
        ::DeleteFileW(Widen(path).c_str());
    } catch (...) {
    }
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    const UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.Get(), bytes);
}

bool WriteExistingFile(const std::string& path, std::string_view bytes) {
    const UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.Get(), bytes);
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    const UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return std::nullopt;
    const auto wanted = static_cast<unsigned long long>(size.QuadPart);
    std::string bytes(wanted < maxBytes ? static_cast<std::size_t>(wanted) : maxBytes, '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t left = bytes.size() - done;
        const DWORD chunk = left > kMaxChunk ? kMaxChunk : static_cast<DWORD>(left);
        DWORD read = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr))
            return std::nullopt;
        if (read == 0) break;  // the file shrank meanwhile
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

std::string ClaimTempBeside(const std::string& target) {
    // Created exclusively, so that a leftover of an earlier run or a file of another process is
    // never overwritten.
    constexpr unsigned kAttempts = 100;
    const DWORD processId = ::GetCurrentProcessId();
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
        std::string temp = TempPathBeside(target, processId, attempt);
        const UniqueFile file(::CreateFileW(Widen(temp).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return temp;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

bool MoveIntoPlace(const std::string& temp, const std::string& target) {
    // The temporary file sits beside the target, so this is a rename that either replaces the
    // old file whole or leaves it as it was; WRITE_THROUGH returns only once it is on disk.
    const std::wstring wideTemp = Widen(temp);
    if (::MoveFileExW(wideTemp.c_str(), Widen(target).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    ::DeleteFileW(wideTemp.c_str());
    return false;
}

bool ReplaceWholeFile(const std::string& target, std::string_view bytes) {
    const std::string temp = ClaimTempBeside(target);
    if (temp.empty()) return false;
    bool written = false;
    {
        const UniqueFile file(::CreateFileW(Widen(temp).c_str(), GENERIC_WRITE, 0, nullptr,
                                            TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get());
    }
    if (!written) {
        ::DeleteFileW(Widen(temp).c_str());
        return false;
    }
    return MoveIntoPlace(temp, target);
}

}  // namespace host
