#include "host/file_identity_win.h"

#include <windows.h>

#include <optional>

#include "host/text_encoding_win.h"
#include "host/unique_win.h"

namespace host {
namespace {

struct Identity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
    bool operator==(const Identity&) const = default;
};

std::optional<Identity> IdentityOf(const std::string& path) {
    // No access rights needed to read the identity; backup semantics open folders too.
    const UniqueFile file(::CreateFileW(
        Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.Get(), &info)) return std::nullopt;
    return Identity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

}  // namespace

bool SameFile(const std::string& first, const std::string& second) {
    const auto a = IdentityOf(first);
    return a && a == IdentityOf(second);
}

}  // namespace host
