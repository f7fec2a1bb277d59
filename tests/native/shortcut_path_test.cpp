#include "app/shortcut_path.h"

#include "host/path_text.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ShortcutTempPath, StaysInTheFolderAndNeverNamesTheShortcutItself) {
    const std::string shortcut = "C:\\Links\\Fotos Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f.lnk";
    std::set<std::string> seen;
    for (std::uint32_t pid : {1u, 42u, 4294967295u}) {
        for (unsigned attempt : {0u, 1u, 99u}) {
            SCOPED_TRACE(std::to_string(pid) + "/" + std::to_string(attempt));
            const std::string temp = app::ShortcutTempPath(shortcut, pid, attempt);
            EXPECT_EQ(host::FolderOf(temp), "C:\\Links\\");
            EXPECT_NE(temp, shortcut);
            // A name still ending in .lnk would be shown and resolved as a finished shortcut.
            EXPECT_NE(host::AsciiLower(host::LastChars(temp, 4)), ".lnk");
            EXPECT_TRUE(seen.insert(temp).second) << temp;
        }
    }
    // Process 1, attempt 11 and process 11, attempt 1 must not meet.
    EXPECT_NE(app::ShortcutTempPath(shortcut, 1, 11), app::ShortcutTempPath(shortcut, 11, 1));
}

}  // namespace
