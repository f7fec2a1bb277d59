#include "host/position_file.h"

#include <cstdint>
#include <limits>

namespace host {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
// Magnitudes are accumulated up to here and then stop growing: far past the int32 range, far
// below overflow of int64.
constexpr std::uint64_t kMagnitudeCap = std::uint64_t{1} << 40;

void AppendLine(std::string& out, std::int32_t value) {
    const std::int64_t wide = value;
    out += wide < 0 ? '-' : ' ';
    out += std::to_string(wide < 0 ? -wide : wide);
    out += " \r\n";
}

std::int32_t Clamp(std::int64_t value) {
    if (value < kInt32Min) return static_cast<std::int32_t>(kInt32Min);
    if (value > kInt32Max) return static_cast<std::int32_t>(kInt32Max);
    return static_cast<std::int32_t>(value);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Splits off the first line; a line ends at CR LF, a lone CR or a lone LF.
std::string_view TakeLine(std::string_view& text) {
    size_t end = 0;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view line = text.substr(0, end);
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    text.remove_prefix(end);
    return line;
}

}  // namespace

std::string FormatPositionFile(DialogPosition position) {
    std::string out;
    AppendLine(out, position.left);
    AppendLine(out, position.top);
    return out;
}

std::int32_t ParseCoordinate(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && line[i] == ' ') ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '-' || line[i] == '+')) {
        negative = line[i] == '-';
        ++i;
    }
    std::uint64_t magnitude = 0;
    for (; i < line.size() && IsDigit(line[i]); ++i) {
        if (magnitude < kMagnitudeCap) magnitude = magnitude * 10 + (line[i] - '0');
    }
    // The fraction only decides the rounding: below, at or above one half.
    int versusHalf = -1;
    if (i < line.size() && line[i] == '.') {
        ++i;
        if (i < line.size() && IsDigit(line[i])) {
            const char first = line[i++];
            bool restNonZero = false;
            for (; i < line.size() && IsDigit(line[i]); ++i) restNonZero |= line[i] != '0';
            if (first > '5' || (first == '5' && restNonZero)) {
                versusHalf = 1;
            } else if (first == '5') {
                versusHalf = 0;
            }
        }
    }
    if (versusHalf > 0 || (versusHalf == 0 && magnitude % 2 == 1)) ++magnitude;
    const auto value = static_cast<std::int64_t>(magnitude);
    return Clamp(negative ? -value : value);
}

DialogPosition ParsePositionFile(std::string_view text) {
    DialogPosition position;
    position.left = ParseCoordinate(TakeLine(text));
    position.top = ParseCoordinate(TakeLine(text));
    return position;
}

std::int32_t PixelsToDialogUnits(std::int32_t pixels, std::int32_t pixelsPer1024Units) {
    if (pixelsPer1024Units <= 0) return 0;
    const std::int64_t numerator = std::int64_t{pixels} * 1024;
    const std::int64_t span = pixelsPer1024Units;
    if (numerator >= 0) return Clamp((2 * numerator + span) / (2 * span));
    // Division truncates toward zero; step down once more when it left a remainder.
    std::int64_t quotient = numerator / span;
    if (quotient * span != numerator) --quotient;
    return Clamp(quotient);
}

}  // namespace host
