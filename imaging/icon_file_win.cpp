#include "imaging/icon_file_win.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>

#include "host/long_path.h"
#include "host/whole_file_win.h"
#include "imaging/byte_reader.h"
#include "imaging/icon_file.h"

namespace imaging {
namespace {

// Icon files are small; anything bigger is no icon worth showing.
constexpr size_t kMaxIconFileBytes = 16 * 1024 * 1024;

}  // namespace

// The file is read here and the icon built from its bytes: LoadImage with LR_LOADFROMFILE
// cannot open paths longer than MAX_PATH (not even under Wine).
host::UniqueIcon LoadIconFile(const std::string& path, int pixels) {
    // One byte past the limit tells a file that is too big from one that just fits.
    std::optional<std::string> file =
        host::ReadWholeFile(host::ExtendedLengthPath(path), kMaxIconFileBytes + 1);
    if (!file || file->size() > kMaxIconFileBytes) return {};
    return IconFromFileBytes(BytesOf(*file), pixels);
}

host::UniqueIcon IconFromFileBytes(std::span<const std::uint8_t> ico, int pixels) {
    const std::optional<IconImageSpan> image = PickIconImage(ico, pixels);
    if (!image) return {};
    constexpr DWORD kIconFormatVersion = 0x00030000;
    // CreateIconFromResourceEx takes the bytes as non-const but only reads them.
    return host::UniqueIcon(::CreateIconFromResourceEx(
        const_cast<PBYTE>(ico.data() + image->offset), static_cast<DWORD>(image->size), TRUE,
        kIconFormatVersion, pixels, pixels, LR_DEFAULTCOLOR));
}

}  // namespace imaging
