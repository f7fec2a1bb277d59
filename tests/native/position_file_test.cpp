#include "host/position_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>

namespace {

using host::DialogPosition;

TEST(PositionFile, FormatsSignDigitsBlankCrLf) {
    EXPECT_EQ(host::FormatPositionFile({120, 85}), " 120 \r\n 85 \r\n");
    EXPECT_EQ(host::FormatPositionFile({120, 85}).size(), 13u);
    EXPECT_EQ(host::FormatPositionFile({-7, 0}), "-7 \r\n 0 \r\n");
    EXPECT_EQ(host::FormatPositionFile({std::numeric_limits<std::int32_t>::min(), 2147483647}),
              "-2147483648 \r\n 2147483647 \r\n");
}

TEST(PositionFile, ReadsHandEditedFiles) {
    const auto read = [](std::string_view text) {
        const DialogPosition p = host::ParsePositionFile(text);
        return std::pair{p.left, p.top};
    };
    EXPECT_EQ(read(" 120 \r\n 85 \r\n"), std::pair(120, 85));
    EXPECT_EQ(read("   120.6   \r\n  -85 \r\n"), std::pair(121, -85));
    EXPECT_EQ(read("120\n85"), std::pair(120, 85));  // LF only, no final line break
    EXPECT_EQ(read("120\r85\r"), std::pair(120, 85));
    EXPECT_EQ(read(" 120 \r\n"), std::pair(120, 0));  // missing second line
    EXPECT_EQ(read(""), std::pair(0, 0));
    EXPECT_EQ(read("abc\r\n12abc\r\n"), std::pair(0, 12));
    EXPECT_EQ(read("\r\n 40\r\n"), std::pair(0, 40));  // empty first line
}

TEST(PositionFile, RoundsHalvesToEven) {
    EXPECT_EQ(host::ParseCoordinate("120.5"), 120);
    EXPECT_EQ(host::ParseCoordinate("121.5"), 122);
    EXPECT_EQ(host::ParseCoordinate("120.50001"), 121);
    EXPECT_EQ(host::ParseCoordinate("120.4999"), 120);
    EXPECT_EQ(host::ParseCoordinate("-2.5"), -2);
    EXPECT_EQ(host::ParseCoordinate("-3.5"), -4);
    EXPECT_EQ(host::ParseCoordinate("-0.4"), 0);
    EXPECT_EQ(host::ParseCoordinate(".7"), 1);
    EXPECT_EQ(host::ParseCoordinate("+8"), 8);
    EXPECT_EQ(host::ParseCoordinate("-"), 0);
    EXPECT_EQ(host::ParseCoordinate("1e3"), 1);  // reading stops at the 'e'
    EXPECT_EQ(host::ParseCoordinate("12.3.4"), 12);
}

TEST(PositionFile, ClampsHugeNumbers) {
    EXPECT_EQ(host::ParseCoordinate("2147483647"), 2147483647);
    EXPECT_EQ(host::ParseCoordinate("2147483648"), 2147483647);
    EXPECT_EQ(host::ParseCoordinate("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(host::ParseCoordinate("-99999999999999999999999999999999999.9"),
              std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(host::ParseCoordinate(std::string(5000, '9') + ".5"), 2147483647);
}

TEST(PositionFile, FormatThenParseGivesTheSamePosition) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::int32_t> any(std::numeric_limits<std::int32_t>::min(),
                                                    std::numeric_limits<std::int32_t>::max());
    for (int i = 0; i < 20000; ++i) {
        const DialogPosition p{any(random), any(random)};
        const DialogPosition back = host::ParsePositionFile(host::FormatPositionFile(p));
        ASSERT_EQ(back.left, p.left);
        ASSERT_EQ(back.top, p.top);
    }
}

// An independent reading of one line for short numbers: the number's text taken with a scan,
// its value through the C library, rounded in the default mode (to nearest, halves to even).
std::optional<std::int32_t> ReferenceReading(const std::string& line) {
    size_t i = line.find_first_not_of(' ');
    if (i == std::string::npos) return 0;
    size_t end = i;
    if (line[end] == '-' || line[end] == '+') ++end;
    end = line.find_first_not_of("0123456789", end);
    if (end != std::string::npos && line[end] == '.')
        end = line.find_first_not_of("0123456789", end + 1);
    std::string number = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
    size_t digits = 0;
    for (char c : number) digits += c >= '0' && c <= '9';
    if (digits == 0) return 0;
    if (digits > 12) return std::nullopt;  // beyond what a double holds exactly
    if (number.back() == '.') number.pop_back();
    if (number.front() == '.' || number.starts_with("-.") || number.starts_with("+.")) {
        number.insert(number.find('.'), "0");
    }
    return static_cast<std::int32_t>(
        std::clamp(std::nearbyint(std::stod(number)), -2147483648.0, 2147483647.0));
}

// Random bytes and random mixes of the characters numbers are made of: the parser must not
// misbehave (the sanitizers watch) and must agree with the reference reading.
TEST(PositionFile, FuzzedInputAgreesWithReference) {
    std::mt19937 random(7);
    const std::string alphabet = "  0123456789.-+\r\nxe";
    int compared = 0;
    for (int i = 0; i < 100000; ++i) {
        const size_t length = random() % 24;
        std::string text(length, '\0');
        const bool anyBytes = i % 4 == 0;
        for (char& c : text) {
            c = anyBytes ? static_cast<char>(random() & 0xFF)
                         : alphabet[random() % alphabet.size()];
        }
        const host::DialogPosition p = host::ParsePositionFile(text);
        const std::string first = text.substr(0, text.find_first_of("\r\n"));
        if (const auto expected = ReferenceReading(first)) {
            ASSERT_EQ(p.left, *expected) << '"' << text << '"';
            ++compared;
        }
    }
    EXPECT_GT(compared, 50000);
}

TEST(PositionFile, PixelsToDialogUnitsRounding) {
    // 1024 units spanning 1536 pixels: 1.5 pixels per unit.
    EXPECT_EQ(host::PixelsToDialogUnits(180, 1536), 120);
    EXPECT_EQ(host::PixelsToDialogUnits(181, 1536), 121);  // 120.67
    EXPECT_EQ(host::PixelsToDialogUnits(3, 1536), 2);      // exactly 2
    EXPECT_EQ(host::PixelsToDialogUnits(1, 2048), 1);      // 0.5: halves go up
    EXPECT_EQ(host::PixelsToDialogUnits(0, 1536), 0);
    EXPECT_EQ(host::PixelsToDialogUnits(-1, 1536), -1);  // -0.67 goes down
    EXPECT_EQ(host::PixelsToDialogUnits(-3, 1536), -2);  // exact stays
    EXPECT_EQ(host::PixelsToDialogUnits(-4, 1536), -3);  // -2.67 goes down
    EXPECT_EQ(host::PixelsToDialogUnits(500, 0), 0);
    EXPECT_EQ(host::PixelsToDialogUnits(std::numeric_limits<std::int32_t>::max(), 1),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(host::PixelsToDialogUnits(std::numeric_limits<std::int32_t>::min(), 1),
              std::numeric_limits<std::int32_t>::min());
}

}  // namespace
