#include "imaging/ico_assembly.h"

#include "imaging/byte_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace {

using Images = std::vector<std::optional<std::vector<uint8_t>>>;

struct Entry {
    uint8_t width, height, colours;
    uint16_t planes, bits;
    uint32_t bytes;
    uint16_t id;
};

std::vector<uint8_t> Directory(const std::vector<Entry>& entries) {
    std::vector<uint8_t> d = {0, 0, 1, 0, static_cast<uint8_t>(entries.size()), 0};
    for (const Entry& e : entries) {
        const uint8_t row[14] = {e.width,
                                 e.height,
                                 e.colours,
                                 7,  // reserved byte in the module: the .ico gets 0
                                 static_cast<uint8_t>(e.planes),
                                 static_cast<uint8_t>(e.planes >> 8),
                                 static_cast<uint8_t>(e.bits),
                                 static_cast<uint8_t>(e.bits >> 8),
                                 static_cast<uint8_t>(e.bytes),
                                 static_cast<uint8_t>(e.bytes >> 8),
                                 static_cast<uint8_t>(e.bytes >> 16),
                                 static_cast<uint8_t>(e.bytes >> 24),
                                 static_cast<uint8_t>(e.id),
                                 static_cast<uint8_t>(e.id >> 8)};
        d.insert(d.end(), row, row + 14);
    }
    return d;
}

using imaging::Le16;
using imaging::Le32;

TEST(IcoAssembly, OneImageGroupGivesHeaderRecordAndBytes) {
    const auto dir = Directory({{128, 128, 0, 1, 8, 19496, 1}});
    std::vector<uint8_t> image(19496);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    const auto ico = imaging::AssembleIco(dir, Images{image});
    ASSERT_EQ(ico.bytes.size(), 19518u);
    const std::vector<uint8_t> head(ico.bytes.begin(), ico.bytes.begin() + 22);
    EXPECT_EQ(head, (std::vector<uint8_t>{0, 0, 1, 0,    1,    0, 128, 128, 0, 0, 1,
                                          0, 8, 0, 0x28, 0x4C, 0, 0,   22,  0, 0, 0}));
    EXPECT_TRUE(std::equal(image.begin(), image.end(), ico.bytes.begin() + 22));
    EXPECT_EQ(ico.largestWidth, 128);
    EXPECT_EQ(imaging::GroupDirectoryEntries(dir).at(0).imageId, 1);
}

TEST(IcoAssembly, OffsetsRunOverActualSizesAndWidthZeroNeverWins) {
    // Directory sizes deliberately disagree with the bytes: the offsets follow the bytes.
    const auto dir = Directory({{16, 16, 0, 1, 32, 999, 5},
                                {32, 32, 0, 1, 32, 10, 6},
                                {48, 48, 0, 1, 32, 10, 7},
                                {0, 0, 0, 1, 32, 10, 8}});
    const Images images{std::vector<uint8_t>(10, 1), std::vector<uint8_t>(20, 2),
                        std::vector<uint8_t>(30, 3), std::vector<uint8_t>(40, 4)};
    const auto ico = imaging::AssembleIco(dir, images);
    ASSERT_EQ(ico.bytes.size(), 6u + 4 * 16 + 100);
    EXPECT_EQ(Le16(ico.bytes, 4), 4);
    EXPECT_EQ(Le32(ico.bytes, 6 + 8), 999u);
    EXPECT_EQ(Le32(ico.bytes, 6 + 12), 70u);
    EXPECT_EQ(Le32(ico.bytes, 22 + 12), 80u);
    EXPECT_EQ(Le32(ico.bytes, 38 + 12), 100u);
    EXPECT_EQ(Le32(ico.bytes, 54 + 12), 130u);
    EXPECT_EQ(ico.bytes[54], 0);
    EXPECT_EQ(ico.bytes[54 + 3], 0);  // reserved is always written as 0
    EXPECT_EQ(ico.bytes[130], 4);
    EXPECT_EQ(ico.largestWidth, 48);
    const auto ids = imaging::GroupDirectoryEntries(dir);
    ASSERT_EQ(ids.size(), 4u);
    EXPECT_EQ(ids[3].imageId, 8);
}

TEST(IcoAssembly, UnreadableImagesAreDroppedWithTheirRecords) {
    const auto dir = Directory(
        {{16, 16, 0, 1, 32, 10, 1}, {32, 32, 0, 1, 32, 20, 2}, {48, 48, 0, 1, 32, 30, 3}});
    {
        SCOPED_TRACE("first image unreadable");
        const auto ico = imaging::AssembleIco(
            dir, Images{std::nullopt, std::vector<uint8_t>(20, 2), std::vector<uint8_t>(30, 3)});
        ASSERT_EQ(ico.bytes.size(), 6u + 2 * 16 + 50);
        EXPECT_EQ(Le16(ico.bytes, 4), 2);
        EXPECT_EQ(ico.bytes[6], 32);
        EXPECT_EQ(Le32(ico.bytes, 18), 38u);
        EXPECT_EQ(Le32(ico.bytes, 34), 58u);
        EXPECT_EQ(ico.bytes[38], 2);
        EXPECT_EQ(ico.bytes[58], 3);
    }
    {
        SCOPED_TRACE("middle image unreadable, the largest one among the rest counts");
        const auto ico = imaging::AssembleIco(
            dir, Images{std::vector<uint8_t>(10, 1), std::nullopt, std::vector<uint8_t>(30, 3)});
        ASSERT_EQ(ico.bytes.size(), 6u + 2 * 16 + 40);
        EXPECT_EQ(Le32(ico.bytes, 34), 48u);
        EXPECT_EQ(ico.largestWidth, 48);
    }
    {
        SCOPED_TRACE("no image readable");
        const auto ico =
            imaging::AssembleIco(dir, Images{std::nullopt, std::vector<uint8_t>(), std::nullopt});
        EXPECT_TRUE(ico.bytes.empty());
        EXPECT_EQ(ico.largestWidth, 0);
    }
}

TEST(IcoAssembly, MalformedDirectoriesYieldOnlyCompleteEntries) {
    auto dir = Directory({{16, 16, 0, 1, 32, 10, 1}, {32, 32, 0, 1, 32, 20, 2}});
    dir[4] = 200;  // claims far more entries than it holds
    EXPECT_EQ(imaging::GroupDirectoryEntries(dir).size(), 2u);
    dir.pop_back();  // second entry truncated
    EXPECT_EQ(imaging::GroupDirectoryEntries(dir).size(), 1u);
    const auto ico =
        imaging::AssembleIco(dir, Images{std::vector<uint8_t>(10, 1), std::vector<uint8_t>(20, 2)});
    EXPECT_EQ(Le16(ico.bytes, 4), 1);
    EXPECT_TRUE(imaging::GroupDirectoryEntries(std::vector<uint8_t>{0, 0, 1}).empty());
    EXPECT_TRUE(imaging::AssembleIco({}, Images{std::vector<uint8_t>(3, 1)}).bytes.empty());
}

// Random directories of random length and random image lists: under ASan/UBSan any read past
// the directory or the images fails the run. The result must always describe itself.
TEST(IcoAssembly, FuzzedDirectoriesNeverReadOutOfBounds) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 100000; ++round) {
        std::vector<uint8_t> dir(random() % 80);
        for (auto& b : dir) b = static_cast<uint8_t>(random());
        if (dir.size() >= 6 && random() % 2) dir[4] = static_cast<uint8_t>(random() % 8);
        Images images(random() % 8);
        for (auto& image : images) {
            if (random() % 4 == 0) continue;
            image = std::vector<uint8_t>(random() % 20, static_cast<uint8_t>(round));
        }
        const auto entries = imaging::GroupDirectoryEntries(dir);
        ASSERT_LE(6 + entries.size() * 14, std::max<size_t>(dir.size(), 6));
        const auto ico = imaging::AssembleIco(dir, images);
        if (ico.bytes.empty()) continue;
        const size_t count = Le16(ico.bytes, 4);
        ASSERT_GE(count, 1u);
        ASSERT_LE(count, std::min(entries.size(), images.size()));
        size_t expected = 6 + 16 * count;
        for (size_t i = 0; i < count; ++i) {
            ASSERT_EQ(Le32(ico.bytes, 6 + 16 * i + 12), expected);
            size_t next = i + 1 < count ? Le32(ico.bytes, 6 + 16 * (i + 1) + 12) : ico.bytes.size();
            ASSERT_GT(next, expected);
            expected = next;
        }
        ASSERT_EQ(expected, ico.bytes.size());
    }
}

}  // namespace
