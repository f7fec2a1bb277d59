#include "host/path_text.h"

#include <gtest/gtest.h>

namespace {

TEST(PathText, SplitsFolderNameAndExtension) {
    EXPECT_EQ(host::FileNameOf("C:\\img\\my.cat.png"), "my.cat.png");
    EXPECT_EQ(host::FolderOf("C:\\img\\my.cat.png"), "C:\\img\\");
    EXPECT_EQ(host::StripExtension("my.cat.png"), "my.cat");
    EXPECT_EQ(host::StripExtension("noext"), "noext");
    EXPECT_EQ(host::FileNameOf("C:name"), "name");
    EXPECT_EQ(host::FolderOf("name"), "");
}

TEST(PathText, KeepsExactlyOneTrailingBackslash) {
    EXPECT_EQ(host::WithOneTrailingBackslash("C:\\Pics"), "C:\\Pics\\");
    EXPECT_EQ(host::WithOneTrailingBackslash("C:\\Pics\\\\"), "C:\\Pics\\");
    EXPECT_EQ(host::WithOneTrailingBackslash("D:\\Photos//"), "D:\\Photos\\");
    EXPECT_EQ(host::WithOneTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(host::WithOneTrailingBackslash(""), "\\");
}

TEST(PathText, LowerCasesAsciiOnly) {
    EXPECT_EQ(host::AsciiLower("PHOTO.JPEG"), "photo.jpeg");
    EXPECT_EQ(host::AsciiLower("Caf\xc3\x89"), "caf\xc3\x89");
    EXPECT_EQ(host::LastChars("ab", 4), "ab");
    EXPECT_EQ(host::LastChars("photo.JPEG", 4), "JPEG");
}

}  // namespace
