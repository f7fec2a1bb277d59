// Picking one image out of an .ico file's bytes. Pure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace imaging {

struct IconImageSpan {
    std::size_t offset;
    std::size_t size;
};

// The image of an .ico file best suited to a square of `pixels`: the exact size if present,
// else the smallest larger one, else the largest; among equals the one with most colour bits.
// nullopt when the bytes are not an icon file or the chosen entry points outside them.
std::optional<IconImageSpan> PickIconImage(std::span<const std::uint8_t> ico, int pixels);

// The square sizes an .ico file holds, smallest first, when the file is whole: every entry
// square, its image lying inside the bytes after the directory and starting as a PNG or as a
// bitmap of the entry's size. nullopt for anything else: a file cut short, a half-written one,
// no icon at all.
std::optional<std::vector<int>> CompleteIconSizes(std::span<const std::uint8_t> ico);

}  // namespace imaging
