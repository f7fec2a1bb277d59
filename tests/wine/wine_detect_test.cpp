#include "wine/wine_detect_win.h"

#include <gtest/gtest.h>

namespace {

TEST(WineDetection, ReportsWineAndItsVersionText) {
    ASSERT_TRUE(wine::IsWine());
    const std::string version = wine::WineVersion();
    ASSERT_FALSE(version.empty());
    // The text is Wine's own, e.g. "8.0": starts with a digit, no surrounding blanks.
    EXPECT_TRUE(version.front() >= '0' && version.front() <= '9') << version;
    EXPECT_NE(version.back(), ' ');
}

}  // namespace
