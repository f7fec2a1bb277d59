// The position file: the dialog's top-left corner in dialog units, as two lines of text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

struct DialogPosition {
    std::int32_t left = 0;
    std::int32_t top = 0;
};

// " 120 \r\n 85 \r\n": per line a sign character (blank or '-'), the decimal digits, one blank,
// CR LF.
std::string FormatPositionFile(DialogPosition position);

// Reads back the first two lines (each ends at CR LF, a lone CR or a lone LF). A line is read
// as a decimal number after any leading blanks, stopping at the first character that cannot
// continue it; no number reads as 0. Fractions round to the nearest integer, halves to the even
// neighbour; values beyond 32 bits are clamped. Missing lines read as 0.
DialogPosition ParsePositionFile(std::string_view text);

// One line of the file, read as described above.
std::int32_t ParseCoordinate(std::string_view line);

// A screen coordinate in pixels as dialog units, given how many pixels 1024 dialog units span
// along that axis: a non-negative quotient rounds to nearest (halves up), a negative one down.
// A non-positive span (the conversion failed) gives 0.
std::int32_t PixelsToDialogUnits(std::int32_t pixels, std::int32_t pixelsPer1024Units);

}  // namespace host
