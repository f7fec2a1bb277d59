#include "host/file_version.h"

#include <gtest/gtest.h>

namespace {

TEST(FileVersion, MinorPartIsHundredths) {
    EXPECT_EQ(host::VersionTenThousandths(0x00050052), 58200);  // 5.82
    EXPECT_EQ(host::VersionTenThousandths(0x0006000A), 61000);  // 6.10 reads 6.1
    EXPECT_EQ(host::VersionTenThousandths(0x00060001), 60100);  // 6.1 reads 6.01
    EXPECT_DOUBLE_EQ(host::VersionNumber(0x00050052), 5.82);
    EXPECT_DOUBLE_EQ(host::VersionNumber(0x00060001), 6.01);
    EXPECT_DOUBLE_EQ(host::VersionNumber(0), 0.0);
    EXPECT_EQ(host::VersionTenThousandths(0xFFFFFFFF), 65535LL * 10000 + 65535 * 100);
}

}  // namespace
