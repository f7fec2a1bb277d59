#include "imaging/picture_format_win.h"

#include <windows.h>

#include <cstdint>
#include <optional>

#include "host/text_encoding_win.h"
#include "host/whole_file_win.h"
#include "imaging/byte_reader.h"

namespace imaging {

PictureFormat PictureFormatOfFile(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!::GetFileAttributesExW(host::Widen(path).c_str(), GetFileExInfoStandard, &attributes) ||
        (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return PictureFormat::Unknown;
    }
    const std::uint64_t size =
        (static_cast<std::uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    const std::optional<std::string> head = host::ReadWholeFile(path, kPictureHeadBytes);
    if (!head) return PictureFormat::Unknown;
    return PictureFormatOf(BytesOf(*head), size);
}

}  // namespace imaging
