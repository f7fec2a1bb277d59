#include "imaging/icon_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace {

struct Entry {
    std::uint8_t width;
    std::uint16_t bits;
    std::uint32_t size;
};

// An icon directory whose images follow each other after the entries (contents irrelevant).
std::vector<std::uint8_t> IconFile(const std::vector<Entry>& entries) {
    std::vector<std::uint8_t> b;
    auto word = [&](unsigned v) {
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    word(0), word(1), word(static_cast<unsigned>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const Entry& e : entries) {
        b.insert(b.end(), {e.width, e.width, 0, 0});
        word(1), word(e.bits), word(e.size & 0xFFFF), word(e.size >> 16);
        word(offset & 0xFFFF), word(offset >> 16);
        offset += e.size;
    }
    b.resize(offset, 0xAB);
    return b;
}

size_t OffsetOf(const std::vector<Entry>& entries, size_t index) {
    size_t offset = 6 + 16 * entries.size();
    for (size_t i = 0; i < index; ++i) offset += entries[i].size;
    return offset;
}

TEST(IconFile, PicksTheImageThatFitsBest) {
    const std::vector<Entry> sizes = {
        {16, 32, 10}, {48, 32, 20}, {32, 8, 30}, {32, 32, 40}, {0, 32, 50}};
    const auto bytes = IconFile(sizes);
    auto pick = imaging::PickIconImage(bytes, 32);  // exact size, most colours
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->offset, OffsetOf(sizes, 3));
    EXPECT_EQ(pick->size, 40u);
    pick = imaging::PickIconImage(bytes, 40);  // smallest larger
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->offset, OffsetOf(sizes, 1));
    pick = imaging::PickIconImage(bytes, 300);  // nothing larger: the largest (0 means 256)
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->offset, OffsetOf(sizes, 4));
    pick = imaging::PickIconImage(IconFile({{16, 32, 10}}), 32);  // only a smaller one
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->size, 10u);
}

TEST(IconFile, RefusesWhatIsNoIcon) {
    EXPECT_FALSE(imaging::PickIconImage({}, 32));
    std::vector<std::uint8_t> cursor = IconFile({{32, 32, 40}});
    cursor[2] = 2;  // a cursor file
    EXPECT_FALSE(imaging::PickIconImage(cursor, 32));
    EXPECT_FALSE(imaging::PickIconImage(IconFile({}), 32));
    std::vector<std::uint8_t> cut = IconFile({{32, 32, 40}});
    cut.resize(cut.size() - 1);  // the image runs past the end
    EXPECT_FALSE(imaging::PickIconImage(cut, 32));
    std::vector<std::uint8_t> entriesCut = IconFile({{32, 32, 40}, {16, 32, 40}});
    entriesCut.resize(6 + 16);  // the directory promises two entries
    EXPECT_FALSE(imaging::PickIconImage(entriesCut, 32));
    std::vector<std::uint8_t> farOffset = IconFile({{32, 32, 40}});
    farOffset[6 + 15] = 0x7F;  // offset far beyond the file
    EXPECT_FALSE(imaging::PickIconImage(farOffset, 32));
}

// An icon file of square images that begin as they should: a bitmap header of their size, or
// for 256 pixels a PNG signature.
std::vector<std::uint8_t> WholeIcon(const std::vector<int>& sizes) {
    std::vector<Entry> entries;
    for (const int size : sizes)
        entries.push_back({static_cast<std::uint8_t>(size & 0xFF), 32, 48});
    std::vector<std::uint8_t> bytes = IconFile(entries);
    for (size_t i = 0; i < sizes.size(); ++i) {
        const size_t at = OffsetOf(entries, i);
        if (sizes[i] == 256) {
            const std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
            std::copy(std::begin(png), std::end(png), bytes.begin() + at);
            continue;
        }
        const std::uint32_t header[] = {40, static_cast<std::uint32_t>(sizes[i]),
                                        static_cast<std::uint32_t>(2 * sizes[i])};
        for (size_t k = 0; k < 12; ++k)
            bytes[at + k] = static_cast<std::uint8_t>(header[k / 4] >> (8 * (k % 4)));
    }
    return bytes;
}

TEST(IconFile, TellsAWholeIconFromAPartOne) {
    const std::vector<std::uint8_t> whole = WholeIcon({256, 16, 32});
    EXPECT_EQ(imaging::CompleteIconSizes(whole), (std::vector<int>{16, 32, 256}));
    std::vector<std::uint8_t> cut = whole;
    cut.pop_back();  // the last image ends past the file
    EXPECT_EQ(imaging::CompleteIconSizes(cut), std::nullopt);
    std::vector<std::uint8_t> unwritten = whole;
    std::fill(unwritten.begin() + 6 + 16 * 3, unwritten.end(), 0);  // directory only
    EXPECT_EQ(imaging::CompleteIconSizes(unwritten), std::nullopt);
    std::vector<std::uint8_t> otherSize = WholeIcon({16, 32});
    otherSize[6 + 16] = 24;  // the entry says 24, its bitmap 32
    otherSize[6 + 16 + 1] = 24;
    EXPECT_EQ(imaging::CompleteIconSizes(otherSize), std::nullopt);
    std::vector<std::uint8_t> oblong = WholeIcon({16});
    oblong[7] = 8;
    EXPECT_EQ(imaging::CompleteIconSizes(oblong), std::nullopt);
    EXPECT_EQ(imaging::CompleteIconSizes({}), std::nullopt);
}

}  // namespace
