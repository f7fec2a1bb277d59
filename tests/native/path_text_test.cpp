#include "host/path_text.h"

#include <gtest/gtest.h>

#include <set>

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

TEST(TempPathBeside, StaysInTheFolderUnderANameOfTheProgramsOwn) {
    const std::string shortcut = "C:\\Links\\Fotos Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f.lnk";
    std::set<std::string> seen;
    for (std::uint32_t pid : {1u, 42u, 4294967295u}) {
        for (unsigned attempt : {0u, 1u, 99u}) {
            SCOPED_TRACE(std::to_string(pid) + "/" + std::to_string(attempt));
            const std::string temp = host::TempPathBeside(shortcut, pid, attempt);
            EXPECT_EQ(host::FolderOf(temp), "C:\\Links\\");
            // Nothing of the user's name: plain ASCII however the target is called.
            for (const char c : host::FileNameOf(temp))
                EXPECT_LT(static_cast<unsigned char>(c), 0x80);
            // A name still ending in .lnk would be shown and resolved as a finished shortcut.
            EXPECT_NE(host::AsciiLower(host::LastChars(temp, 4)), ".lnk");
            EXPECT_TRUE(seen.insert(temp).second) << temp;
        }
    }
    // Process 1, attempt 11 and process 11, attempt 1 must not meet.
    EXPECT_NE(host::TempPathBeside(shortcut, 1, 11), host::TempPathBeside(shortcut, 11, 1));
}

}  // namespace
