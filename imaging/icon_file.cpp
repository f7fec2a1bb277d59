#include "imaging/icon_file.h"

#include <algorithm>
#include <iterator>

#include "imaging/byte_reader.h"

namespace imaging {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint32_t kBitmapHeaderSize = 40;

// Closer is better; a larger image scales down better than a smaller one scales up.
bool Better(int width, unsigned bits, int bestWidth, unsigned bestBits, int wanted) {
    if (width == bestWidth) return bits > bestBits;
    const bool fits = width >= wanted;
    const bool bestFits = bestWidth >= wanted;
    if (fits != bestFits) return fits;
    return fits ? width < bestWidth : width > bestWidth;
}

// Where an entry's image must start: a PNG signature, or a bitmap header of the entry's size
// (its height counts the colour rows and the mask rows).
bool StartsAsImageOf(std::span<const std::uint8_t> image, int pixels) {
    static constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (image.size() >= std::size(kPngSignature) &&
        std::equal(std::begin(kPngSignature), std::end(kPngSignature), image.begin()))
        return true;
    return image.size() >= kBitmapHeaderSize && Le32(image, 0) == kBitmapHeaderSize &&
           Le32(image, 4) == static_cast<std::uint32_t>(pixels) &&
           Le32(image, 8) == static_cast<std::uint32_t>(2 * pixels);
}

}  // namespace

std::optional<IconImageSpan> PickIconImage(std::span<const std::uint8_t> ico, int pixels) {
    if (ico.size() < kHeaderSize || Le16(ico, 0) != 0 || Le16(ico, 2) != 1) return std::nullopt;
    const std::size_t count = Le16(ico, 4);
    if (count == 0 || ico.size() < kHeaderSize + count * kEntrySize) return std::nullopt;

    std::optional<std::size_t> best;
    int bestWidth = 0;
    unsigned bestBits = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeaderSize + i * kEntrySize;
        const int width = ico[entry] == 0 ? 256 : ico[entry];  // 0 stands for 256
        const unsigned bits = Le16(ico, entry + 6);
        if (!best || Better(width, bits, bestWidth, bestBits, pixels)) {
            best = entry;
            bestWidth = width;
            bestBits = bits;
        }
    }
    const std::size_t size = Le32(ico, *best + 8);
    const std::size_t offset = Le32(ico, *best + 12);
    if (size == 0 || offset > ico.size() || size > ico.size() - offset) return std::nullopt;
    return IconImageSpan{offset, size};
}

std::optional<std::vector<int>> CompleteIconSizes(std::span<const std::uint8_t> ico) {
    if (ico.size() < kHeaderSize || Le16(ico, 0) != 0 || Le16(ico, 2) != 1) return std::nullopt;
    const std::size_t count = Le16(ico, 4);
    const std::size_t directoryEnd = kHeaderSize + count * kEntrySize;
    if (count == 0 || ico.size() < directoryEnd) return std::nullopt;
    std::vector<int> sizes;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeaderSize + i * kEntrySize;
        const int width = ico[entry] == 0 ? 256 : ico[entry];  // 0 stands for 256
        const int height = ico[entry + 1] == 0 ? 256 : ico[entry + 1];
        const std::size_t size = Le32(ico, entry + 8);
        const std::size_t offset = Le32(ico, entry + 12);
        if (width != height || offset < directoryEnd || offset > ico.size() ||
            size > ico.size() - offset || !StartsAsImageOf(ico.subspan(offset, size), width)) {
            return std::nullopt;
        }
        sizes.push_back(width);
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

}  // namespace imaging
