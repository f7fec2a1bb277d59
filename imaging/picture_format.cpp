#include "imaging/picture_format.h"

#include <algorithm>
#include <array>

#include "imaging/byte_reader.h"

namespace imaging {
namespace {

constexpr std::array<std::uint8_t, 3> kJpegStart{0xFF, 0xD8, 0xFF};
constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::size_t kFileHeaderBytes = 14;

template <std::size_t N>
bool StartsWith(std::span<const std::uint8_t> head, const std::array<std::uint8_t, N>& magic) {
    return head.size() >= N && std::equal(magic.begin(), magic.end(), head.begin());
}

std::int32_t SignedLe32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::int32_t>(Le32(bytes, at));
}

// The sizes of the info headers Windows has defined, from OS/2's core header to version 5.
bool KnownInfoHeader(std::uint32_t size) {
    for (const std::uint32_t known : {12u, 40u, 52u, 56u, 64u, 108u, 124u})
        if (size == known) return true;
    return false;
}

bool PlausibleBitmap(std::span<const std::uint8_t> head, std::uint64_t fileSize) {
    if (head.size() < kFileHeaderBytes + 12 || head[0] != 'B' || head[1] != 'M') return false;
    const std::uint32_t pixelsAt = Le32(head, 10);
    const std::uint32_t infoSize = Le32(head, 14);
    if (!KnownInfoHeader(infoSize)) return false;
    if (pixelsAt < kFileHeaderBytes + infoSize || pixelsAt >= fileSize) return false;
    if (infoSize == 12) {
        const std::uint16_t bits = Le16(head, 24);
        return Le16(head, 18) != 0 && Le16(head, 20) != 0 && Le16(head, 22) == 1 &&
               (bits == 1 || bits == 4 || bits == 8 || bits == 24);
    }
    if (head.size() < kFileHeaderBytes + 20) return false;
    const std::int32_t width = SignedLe32(head, 18);
    const std::int32_t height = SignedLe32(head, 22);
    const std::uint16_t bits = Le16(head, 28);
    const std::uint32_t compression = Le32(head, 30);
    // Compressions 4 and 5 carry a whole JPEG or PNG inside, which would go to its own decoder.
    const bool knownBits =
        bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool knownLayout = compression <= 3 || compression == 6;
    return width > 0 && height != 0 && Le16(head, 26) == 1 && knownBits && knownLayout;
}

}  // namespace

PictureFormat PictureFormatOf(std::span<const std::uint8_t> head, std::uint64_t fileSize) {
    head = head.first(static_cast<std::size_t>(std::min<std::uint64_t>(head.size(), fileSize)));
    if (StartsWith(head, kJpegStart)) return PictureFormat::Jpeg;
    if (StartsWith(head, kPngSignature)) return PictureFormat::Png;
    if (PlausibleBitmap(head, fileSize)) return PictureFormat::Bmp;
    return PictureFormat::Unknown;
}

std::string_view DecoderPrefix(PictureFormat format) {
    switch (format) {
        case PictureFormat::Jpeg:
            return "jpeg:";
        case PictureFormat::Png:
            return "png:";
        case PictureFormat::Bmp:
            return "bmp:";
        case PictureFormat::Unknown:
            break;
    }
    return {};
}

}  // namespace imaging
