// What a picture file really is, read from its first bytes: the name a user gives a file says
// nothing about which decoder would read it. Pure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace imaging {

enum class PictureFormat { Unknown, Jpeg, Png, Bmp };

// How many leading bytes PictureFormatOf needs to decide.
inline constexpr std::size_t kPictureHeadBytes = 64;

// JPEG (FF D8 FF), PNG (its eight-byte signature) or a Windows bitmap whose headers hold
// together ("BM", a known info header, one plane, a known depth, a size, an uncompressed or
// run-length layout, pixels inside the file); anything else is Unknown. `head` is the start of
// the file, `fileSize` its whole length.
PictureFormat PictureFormatOf(std::span<const std::uint8_t> head, std::uint64_t fileSize);

// ImageMagick's name of the decoder for the format, with the colon that goes before the input
// ("png:"); empty for Unknown.
std::string_view DecoderPrefix(PictureFormat format);

}  // namespace imaging
