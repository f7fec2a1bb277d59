#include "host/long_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LongPath, OnlyLongAbsolutePathsGetThePrefix) {
    const std::string tail(300, 'd');
    EXPECT_EQ(host::ExtendedLengthPath("C:\\Photos"), "C:\\Photos");
    EXPECT_EQ(host::ExtendedLengthPath("C:\\" + tail), "\\\\?\\C:\\" + tail);
    EXPECT_EQ(host::ExtendedLengthPath("d:/x/" + tail), "\\\\?\\d:\\x\\" + tail);
    EXPECT_EQ(host::ExtendedLengthPath("\\\\server\\share\\" + tail),
              "\\\\?\\UNC\\server\\share\\" + tail);
    // Already extended, device paths and relative paths are left as they are.
    for (const std::string& kept :
         {"\\\\?\\C:\\" + tail, "\\\\.\\pipe\\" + tail, "relative\\" + tail, "C:" + tail}) {
        EXPECT_EQ(host::ExtendedLengthPath(kept), kept);
    }
}

TEST(LongPath, CountsCharactersAsWindowsDoes) {
    // 259 UTF-16 units: just short enough, although the UTF-8 text is far longer.
    std::string path = "C:\\";
    while (path.size() < 3 + 256 * 3) path += "\xe5\x86\x99";  // 写: 3 bytes, 1 unit
    EXPECT_EQ(host::ExtendedLengthPath(path), path);
    EXPECT_EQ(host::ExtendedLengthPath(path + "x"), "\\\\?\\" + path + "x");
    // A character beyond the BMP counts twice.
    std::string emoji = "C:\\";
    for (int i = 0; i < 129; ++i) emoji += "\xf0\x9f\x93\xb7";  // 258 units
    EXPECT_EQ(host::ExtendedLengthPath(emoji), "\\\\?\\" + emoji);
}

}  // namespace
