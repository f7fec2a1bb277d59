// The program icon in the desktop's icon theme: the sizes, where each lies, and the downscaling
// that makes the small ones. Pure.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace imaging {

// Desktops look icons up by size; menus and panels ask for these.
inline constexpr std::array<int, 4> kThemeIconSizes = {16, 32, 48, 128};

// iconFolder + "hicolor\" (iconFolder ends with '\').
std::string ThemeFolder(std::string_view iconFolder);
// iconFolder + "hicolor\<size>x<size>\apps\<name>.png".
std::string ThemeIconPath(std::string_view iconFolder, int size, std::string_view name);

// Pixels as GDI+ hands them out: 0xAARRGGBB, straight (not premultiplied) alpha, row by row.
// Scales width x height down (or up) to size x size by area averaging: each new pixel is the
// mean of the source area it covers, weighted by coverage, in premultiplied alpha so that
// transparent pixels lend no colour to the edges. Empty when the input does not hold
// width x height pixels or a dimension is not positive.
std::vector<uint32_t> ScaleArgb(std::span<const uint32_t> pixels, int width, int height, int size);

}  // namespace imaging
