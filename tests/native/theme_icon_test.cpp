#include "imaging/theme_icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(ScaleArgb, AveragesTheAreaEachSmallPixelCovers) {
    // One-pixel black and white squares: a sampling filter picks black or white, an averaging
    // one gives grey everywhere (near mid-grey also for 128:48, where a small pixel covers a
    // fraction of a large one).
    std::vector<uint32_t> checker(128 * 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x)
            checker[y * 128 + x] = (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
    }
    for (const int size : imaging::kThemeIconSizes) {
        SCOPED_TRACE(size);
        const std::vector<uint32_t> scaled = imaging::ScaleArgb(checker, 128, 128, size);
        ASSERT_EQ(scaled.size(), static_cast<size_t>(size * size));
        for (const uint32_t pixel : scaled) {
            EXPECT_EQ(pixel >> 24, 0xFFu);
            for (const int shift : {0, 8, 16}) {
                const uint32_t channel = pixel >> shift & 0xFF;
                if (size == 128) {
                    EXPECT_TRUE(channel == 0 || channel == 0xFF) << std::hex << pixel;
                } else {
                    EXPECT_NEAR(static_cast<int>(channel), 128, 16) << std::hex << pixel;
                }
            }
        }
    }
}

TEST(ScaleArgb, TransparentPixelsLendNoColourToEdges) {
    // Red beside fully transparent black: half as opaque, still pure red (not dark red).
    const std::vector<uint32_t> edge = {0xFFFF0000u, 0x00000000u, 0xFFFF0000u, 0x00000000u};
    EXPECT_EQ(imaging::ScaleArgb(edge, 2, 2, 1), std::vector<uint32_t>{0x80FF0000u});
}

}  // namespace
