#include "imaging/group_icon_win.h"

#include <optional>
#include <span>
#include <vector>

#include "host/text_encoding_win.h"
#include "host/whole_file_win.h"
#include "imaging/ico_assembly.h"

namespace imaging {

int32_t GroupOrdinal = 0;
int32_t TargetOrdinal = 0;
std::string IcoOutputPath;
int32_t LargestIconWidth = 0;

namespace {

std::optional<std::span<const uint8_t>> LockedResource(HMODULE module, LPCWSTR name, LPCWSTR type) {
    HRSRC found = ::FindResourceW(module, name, type);
    if (found == nullptr) return std::nullopt;
    HGLOBAL loaded = ::LoadResource(module, found);
    if (loaded == nullptr) return std::nullopt;
    const void* locked = ::LockResource(loaded);
    if (locked == nullptr) return std::nullopt;
    return std::span<const uint8_t>(static_cast<const uint8_t*>(locked),
                                    ::SizeofResource(module, found));
}

}  // namespace

// written (the application value) points at the flag that tells WriteGroupIcon a file was
// written.
BOOL CALLBACK GroupIconWalker(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR written) {
    ++GroupOrdinal;
    const bool target = GroupOrdinal == TargetOrdinal;
    // Only the target is written; the others need not be rebuilt.
    if (!target) return TRUE;
    const auto directory = LockedResource(module, name, type);
    if (!directory) return TRUE;

    std::vector<std::optional<std::vector<uint8_t>>> images;
    for (const GroupEntryRef& entry : GroupDirectoryEntries(*directory)) {
        const auto image = LockedResource(module, MAKEINTRESOURCEW(entry.imageId), RT_ICON);
        if (image) {
            images.emplace_back(std::vector<uint8_t>(image->begin(), image->end()));
        } else {
            images.emplace_back(std::nullopt);
        }
    }
    const IcoResult ico = AssembleIco(*directory, images);
    if (ico.bytes.empty()) return TRUE;
    LargestIconWidth = ico.largestWidth;
    // Replaced whole, so an existing icon is never left half overwritten.
    const bool replaced = host::ReplaceWholeFile(
        IcoOutputPath,
        std::string_view(reinterpret_cast<const char*>(ico.bytes.data()), ico.bytes.size()));
    if (replaced && written != 0) *reinterpret_cast<bool*>(written) = true;
    return TRUE;
}

int32_t WriteGroupIcon(const std::string& modulePath, int32_t ordinal,
                       const std::string& outputPath) {
    const size_t first = modulePath.find_first_not_of('"');
    const size_t last = modulePath.find_last_not_of('"');
    const std::string path =
        first == std::string::npos ? std::string() : modulePath.substr(first, last - first + 1);
    // Loaded as an image resource only: its code never runs. It stays loaded, as the resource
    // pointers handed out during the walk point into it.
    HMODULE module = ::LoadLibraryExW(host::Widen(path).c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return 0;
    GroupOrdinal = 0;
    LargestIconWidth = 0;
    TargetOrdinal = ordinal;
    IcoOutputPath = outputPath;
    bool written = false;
    ::EnumResourceNamesW(module, RT_GROUP_ICON, GroupIconWalker,
                         reinterpret_cast<LONG_PTR>(&written));
    return written ? 1 : 0;
}

}  // namespace imaging
