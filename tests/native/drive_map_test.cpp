#include "wine/drive_map.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

namespace {

using Map = std::vector<std::string>;

std::string ReadTestFile(const char* name) {
    std::ifstream in(std::string(LUMORA_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Real "ls -al" of a dosdevices folder holding c:, z:, d: -> /media/data, e: -> ../mnt/e,
// d:: -> /dev/sr0 and com1 -> /dev/ttyS0.
TEST(DriveListing, ParsesRealLsOutput) {
    const std::string listing = ReadTestFile("dosdevices-ls-al.txt");
    ASSERT_NE(listing.find("d: -> /media/data"), std::string::npos) << "test data missing";
    EXPECT_EQ(wine::ParseDriveListing(listing), (Map{"d:/media/data", "e:../mnt/e"}));
}

TEST(DriveListing, LeavesOutFixedDrivesDevicesAndOtherLines) {
    EXPECT_EQ(wine::ParseDriveListing(""), Map{});
    EXPECT_EQ(wine::ParseDriveListing("lrwxrwxrwx 1 u u 10 Dec  8 11:01 c: -> ../drive_c\n"
                                      "lrwxrwxrwx 1 u u  1 Dec  8 11:01 z: -> /\n"
                                      "lrwxrwxrwx 1 u u  8 Dec  8 11:01 d:: -> /dev/sr0\n"),
              Map{});
    // A target holding "c:" or "z:" anywhere is skipped as well.
    EXPECT_EQ(wine::ParseDriveListing("l 1 u u 5 Dec 8 11:01 f: -> /mnt/abc:\n"), Map{});
    // No arrow, no space before it, CR LF endings, a missing last line feed.
    EXPECT_EQ(wine::ParseDriveListing("total 8\nd: -> /media/d\r\nx y: -> /mnt/y"),
              (Map{"d:/media/d\r", "y:/mnt/y"}));
    EXPECT_EQ(wine::ParseDriveListing(" -> /x\n"), Map{"/x"});
    EXPECT_EQ(wine::ParseDriveListing("l 1 u u 5 Dec 8 11:01 g:: -> /mnt/g::h -> i\n"),
              Map{"g:/mnt/g:hi"});
}

TEST(ToUnixPath, FollowsTheDriveRules) {
    const Map map = wine::ParseDriveListing(ReadTestFile("dosdevices-ls-al.txt"));
    const auto unix = [&](std::string_view path) {
        return wine::ToUnixPath(path, map, wine::WineHomeOf("USER"));
    };
    EXPECT_EQ(unix("Z:\\home\\USER\\a.png"), "/home/USER/a.png");
    EXPECT_EQ(unix("z:/home/USER/a.png"), "/home/USER/a.png");
    EXPECT_EQ(unix("C:\\Apps\\x.exe"), "/home/USER/.wine/drive_c/Apps/x.exe");
    EXPECT_EQ(unix("c:/Apps/x.exe"), "/home/USER/.wine/drive_c/Apps/x.exe");
    EXPECT_EQ(unix("D:\\docs\\x"), "/media/data/docs/x");
    EXPECT_EQ(unix("d:\\docs\\x"), "/media/data/docs/x");
    // e: links to a relative target: it is reached through its link, which resolves it.
    EXPECT_EQ(unix("E:/x"), "/home/USER/.wine/dosdevices/e:/x");
    EXPECT_EQ(unix("F:\\x"), "/home/USER/.wine/dosdevices/f:/x");
    EXPECT_EQ(unix("C:"), "/home/USER/.wine/dosdevices/c:");
    EXPECT_EQ(unix("D:"), "/home/USER/.wine/dosdevices/d:");
    EXPECT_EQ(unix(""), "/home/USER/.wine/dosdevices/");
    EXPECT_EQ(unix("\\\\server\\share\\a:b"), "/home/USER/.wine/dosdevices///server/share/a:b");
    EXPECT_EQ(unix("Z:\\home\\USER\\Caf\xc3\xa9 \xe5\x86\x99.png"),
              "/home/USER/Caf\xc3\xa9 \xe5\x86\x99.png");
    // Without entries only the fixed rules and dosdevices remain.
    EXPECT_EQ(wine::ToUnixPath("D:\\docs\\x", {}, wine::WineHomeOf("bob")),
              "/home/bob/.wine/dosdevices/d:/docs/x");
    // The first matching entry wins; the entry's letter is compared as stored.
    EXPECT_EQ(wine::ToUnixPath("D:\\x", {"D:/upper", "d:/one", "d:/two"}, wine::WineHomeOf("bob")),
              "/one/x");
}

TEST(ToUnixPath, WineTranslationsNamedAsTheRulesNameThem) {
    const wine::WineHome home = wine::SessionWineHome("", "\\??\\Z:\\p q\\pfx", "", "u");
    const Map map = {"d:/media/data", "e:../e"};
    const auto through = [&](std::string_view path, bool cLeadsToDriveC) {
        return wine::ThroughDriveTarget(path, home, cLeadsToDriveC, map);
    };
    EXPECT_EQ(wine::DosdevicesDriveOf("/p q/pfx/dosdevices/c:/x", home), 'c');
    EXPECT_EQ(through("/p q/pfx/dosdevices/c:/Apps/x.exe", true), "/p q/pfx/drive_c/Apps/x.exe");
    EXPECT_EQ(through("/p q/pfx/dosdevices/c:", true), "/p q/pfx/drive_c");
    // c: led elsewhere by the user: Wine's own name stays.
    EXPECT_EQ(through("/p q/pfx/dosdevices/c:/x", false), "/p q/pfx/dosdevices/c:/x");
    EXPECT_EQ(through("/p q/pfx/dosdevices/d:/docs/x", true), "/media/data/docs/x");
    EXPECT_EQ(through("/p q/pfx/dosdevices/e:/x", true), "/p q/pfx/dosdevices/e:/x");
    EXPECT_EQ(through("/p q/pfx/dosdevices/m:/x", true), "/p q/pfx/dosdevices/m:/x");
    // Not a drive's link: other prefixes, other names, paths outside.
    EXPECT_EQ(wine::DosdevicesDriveOf("/p q/pfx/dosdevices/com1", home), 0);
    EXPECT_EQ(wine::DosdevicesDriveOf("/p q/pfx/dosdevices/d::", home), 0);
    EXPECT_EQ(wine::DosdevicesDriveOf("/home/u/.wine/dosdevices/c:/x", home), 0);
    EXPECT_EQ(through("/tmp/a", true), "/tmp/a");
    EXPECT_FALSE(wine::NeedsDriveMap("C:\\x"));
    EXPECT_FALSE(wine::NeedsDriveMap("z:/x"));
    EXPECT_TRUE(wine::NeedsDriveMap("D:\\x"));
}

// Random listings and paths built from the pieces the rules look for. Under ASan/UBSan any
// out-of-range access fails the run; the checks hold for every input.
TEST(DriveMapFuzz, RandomListingsAndPaths) {
    static const char* const kPieces[] = {" -> ", " ",  ":",  "::", "c:", "z:",          "/dev/",
                                          "/",    "\\", "\n", "d",  "e:", "C",           "Z",
                                          "x",    "\r", "-",  ">",  "",   "\xe5\x86\x99"};
    std::mt19937 random(20261208);
    std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> length(0, 12);
    const auto randomText = [&] {
        std::string text;
        for (int n = length(random); n > 0; --n) text += kPieces[piece(random)];
        return text;
    };
    for (int round = 0; round < 100000; ++round) {
        const std::string listing = randomText() + randomText();
        const Map map = wine::ParseDriveListing(listing);
        size_t arrows = 0;
        for (size_t at = listing.find(" -> "); at != std::string::npos;
             at = listing.find(" -> ", at + 1))
            ++arrows;
        ASSERT_LE(map.size(), arrows) << listing;
        for (const std::string& entry : map) {
            ASSERT_FALSE(entry.empty()) << listing;
            ASSERT_EQ(entry.find('\n'), std::string::npos) << listing;
        }
        const std::string path = randomText();
        const std::string unixPath = wine::ToUnixPath(path, map, wine::WineHomeOf("u"));
        // Whatever the input, the answer is an absolute Unix path without backslashes.
        ASSERT_FALSE(unixPath.empty()) << path;
        ASSERT_EQ(unixPath.front(), '/') << path;
        ASSERT_EQ(unixPath.find('\\'), std::string::npos) << path;
    }
}

}  // namespace
