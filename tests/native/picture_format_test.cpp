#include "imaging/picture_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using imaging::PictureFormat;
using imaging::PictureFormatOf;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

void PutLe(std::vector<std::uint8_t>& bytes, size_t at, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

struct Field {
    size_t at;
    std::uint32_t value;
    int count;
};

// "BM", then the fields, little-endian, over zeros.
std::vector<std::uint8_t> BitmapHead(size_t size, std::initializer_list<Field> fields) {
    std::vector<std::uint8_t> bytes(size, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    for (const Field& field : fields) PutLe(bytes, field.at, field.value, field.count);
    return bytes;
}

// The headers of a 4 x 3, 24-bit bitmap with a 40-byte info header, as Windows writes it.
std::vector<std::uint8_t> Bitmap() {
    return BitmapHead(54, {{2, 54 + 48, 4},
                           {10, 54, 4},
                           {14, 40, 4},
                           {18, 4, 4},
                           {22, 3, 4},
                           {26, 1, 2},
                           {28, 24, 2}});
}

PictureFormat Of(const std::vector<std::uint8_t>& bytes, std::uint64_t size = 1000) {
    return PictureFormatOf(bytes, size);
}

TEST(PictureFormat, KnowsTheThreeByTheirFirstBytes) {
    EXPECT_EQ(Of({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F'}), PictureFormat::Jpeg);
    EXPECT_EQ(Of({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}), PictureFormat::Png);
    EXPECT_EQ(Of(Bitmap(), 102), PictureFormat::Bmp);
    EXPECT_EQ(imaging::DecoderPrefix(PictureFormat::Jpeg), "jpeg:");
    EXPECT_EQ(imaging::DecoderPrefix(PictureFormat::Png), "png:");
    EXPECT_EQ(imaging::DecoderPrefix(PictureFormat::Bmp), "bmp:");
    EXPECT_EQ(imaging::DecoderPrefix(PictureFormat::Unknown), "");
}

TEST(PictureFormat, RefusesWhatOnlyLooksLikeOne) {
    // Formats ImageMagick would sniff: PPM, GIF, a text pixmap, PostScript, SVG.
    for (const char* text : {"P6\n4 3\n255\n", "GIF89a\x04\x00\x03\x00", "/* XPM */\nstatic",
                             "%!PS-Adobe-3.0\n", "<svg xmlns=", ""}) {
        EXPECT_EQ(Of(Bytes(text)), PictureFormat::Unknown) << text;
    }
    // Cut short, a signature is not one.
    EXPECT_EQ(Of({0xFF, 0xD8}), PictureFormat::Unknown);
    EXPECT_EQ(Of({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A}), PictureFormat::Unknown);
    // Bytes past the file's end (a buffer larger than the file) do not count.
    EXPECT_EQ(PictureFormatOf(std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF}, 2),
              PictureFormat::Unknown);
}

TEST(PictureFormat, TakesABitmapOnlyWhenItsHeadersHoldTogether) {
    EXPECT_EQ(Of(Bytes("BM is how this text starts, and nothing more follows here...")),
              PictureFormat::Unknown);
    for (const Field& change : {Field{14, 41, 4},      // no such info header
                                Field{26, 2, 2},       // two planes
                                Field{28, 7, 2},       // seven bits a pixel
                                Field{18, 0, 4},       // no width
                                Field{22, 0, 4},       // no height
                                Field{30, 4, 4},       // a JPEG inside
                                Field{30, 5, 4},       // a PNG inside
                                Field{10, 20, 4},      // pixels inside the headers
                                Field{10, 102, 4}}) {  // pixels past the end
        std::vector<std::uint8_t> bytes = Bitmap();
        PutLe(bytes, change.at, change.value, change.count);
        EXPECT_EQ(Of(bytes, 102), PictureFormat::Unknown) << change.at << " " << change.value;
    }
    // Bottom-up or top-down, run-length or bit fields: all bitmaps.
    std::vector<std::uint8_t> topDown = Bitmap();
    PutLe(topDown, 22, static_cast<std::uint32_t>(-3), 4);
    EXPECT_EQ(Of(topDown, 102), PictureFormat::Bmp);
    std::vector<std::uint8_t> fields = Bitmap();
    PutLe(fields, 28, 32, 2);
    PutLe(fields, 30, 3, 4);
    EXPECT_EQ(Of(fields, 102), PictureFormat::Bmp);
    // OS/2's 12-byte header.
    const std::vector<std::uint8_t> core =
        BitmapHead(26, {{10, 26, 4}, {14, 12, 4}, {18, 4, 2}, {20, 3, 2}, {22, 1, 2}, {24, 8, 2}});
    EXPECT_EQ(Of(core, 100), PictureFormat::Bmp);
}

}  // namespace
