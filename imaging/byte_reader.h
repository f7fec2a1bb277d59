// Little-endian numbers in byte spans, as icon files and resources store them. Pure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace imaging {

// The bytes of a file read whole into a string.
inline std::span<const std::uint8_t> BytesOf(std::string_view file) {
    return {reinterpret_cast<const std::uint8_t*>(file.data()), file.size()};
}

// The caller checks that the bytes reach at + 2 (at + 4).
inline std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}
inline std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return Le16(bytes, at) | (static_cast<std::uint32_t>(Le16(bytes, at + 2)) << 16);
}

}  // namespace imaging
