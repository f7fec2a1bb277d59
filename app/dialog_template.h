// The main dialog as an in-memory extended dialog template (DLGTEMPLATEEX), in dialog units.
// Pure: the bytes are built and tested without Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// Predefined window-class atoms of dialog items.
inline constexpr std::uint16_t kButtonAtom = 0x0080;
inline constexpr std::uint16_t kEditAtom = 0x0081;
inline constexpr std::uint16_t kStaticAtom = 0x0082;

inline constexpr std::uint32_t kMainDialogStyle = 0x00CA0854;
inline constexpr std::int16_t kMainDialogWidth = 248;
inline constexpr std::int16_t kMainDialogHeight = 40;
inline constexpr std::u16string_view kMainDialogFont = u"MS Sans Serif";
inline constexpr std::uint16_t kMainDialogFontPoints = 8;
inline constexpr std::uint16_t kMainDialogFontWeight = 400;

struct DialogItem {
    std::uint16_t classAtom;
    std::int32_t id;  // -1 for controls that are never addressed
    std::u16string_view text;
    std::int16_t x, y, width, height;
    std::uint32_t style;
    std::uint32_t exStyle;
};

// The eight controls in creation (z and tab) order.
const std::vector<DialogItem>& MainDialogItems();

// The whole template; the caption is the dialog's title (program name + " 1.6").
// The result is DWORD-aligned from its first byte when held in a std::vector.
std::vector<std::uint8_t> BuildMainDialogTemplate(std::u16string_view caption);

}  // namespace app
