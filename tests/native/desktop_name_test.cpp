#include "wine/desktop_name.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "imaging/icon_export_paths.h"
#include "wine/menu_builder.h"
#include "wine/wine_home.h"

namespace {

TEST(DesktopName, NameWithoutFolderExtensionAndSpacesInLowerCase) {
    EXPECT_EQ(wine::DesktopName("C:\\Apps\\My Tool.exe"), "mytool");
    EXPECT_EQ(wine::DesktopName("C:\\Apps\\my.tool.exe"), "my.tool");
    EXPECT_EQ(wine::DesktopName("D:Lumora-Builder.EXE"), "lumora-builder");
    EXPECT_EQ(wine::DesktopName("C:\\x.y\\Plain"), "plain");
    // A slash does not end the folder part.
    EXPECT_EQ(wine::DesktopName("C:\\a/b c.exe"), "a/bc");
    EXPECT_EQ(wine::DesktopName("C:\\Fotos Caf\xc3\x89 \xe5\x86\x99.exe"),
              "fotoscaf\xc3\x89\xe5\x86\x99");
    EXPECT_EQ(wine::DesktopName(""), "");
}

TEST(DesktopName, LongPathsStillGetDistinctUsableNames) {
    const std::string deep = "C:\\" + std::string(300, 'd') + "\\";
    EXPECT_EQ(wine::DesktopName(deep + "My Tool.exe"), "mytool");
    EXPECT_EQ(wine::DesktopName(deep + "Other.exe"), "other");
    // Counted in characters: a cut inside a UTF-8 sequence would leave a broken name.
    const std::string umlauts = "C:\\" + std::string(130, 'x') + "\\";
    std::string name;
    for (int i = 0; i < 140; ++i) name += "\xc3\xbc";  // 140 x u-umlaut, 280 bytes
    const std::string long1 = wine::DesktopName(umlauts + name + "1.exe");
    const std::string long2 = wine::DesktopName(umlauts + name + "2.exe");
    for (const std::string& result : {long1, long2}) {
        SCOPED_TRACE(result);
        EXPECT_FALSE(result.empty());
        // "wine-" + name + a prefix tag + ".desktop" is a valid Linux file name.
        EXPECT_LE(result.size() + 22, 255u);
        EXPECT_TRUE(g_utf8_validate(result.data(), static_cast<gssize>(result.size()), nullptr));
        EXPECT_EQ(result.rfind("\xc3\xbc\xc3\xbc", 0), 0u);
    }
    EXPECT_NE(long1, long2);
}

TEST(WineHome, HomeAndPrefixInBothViews) {
    const wine::WineHome home = wine::WineHomeOf("ann");
    EXPECT_EQ(home.unixHome, "/home/ann");
    EXPECT_EQ(home.unixPrefix, "/home/ann/.wine");
    EXPECT_EQ(home.windowsHome, "z:\\home\\ann");
    EXPECT_EQ(home.windowsPrefix, "z:\\home\\ann\\.wine");
    EXPECT_EQ(wine::IconFolder(home), "z:\\home\\ann\\.local\\share\\icons\\");
    EXPECT_EQ(wine::DesktopEntryFolder(home), "z:\\home\\ann\\.local\\share\\applications\\");
}

TEST(WineHome, TakenFromTheRunningSession) {
    // Wine's own variables for the default home give exactly the default home.
    const wine::WineHome standard = wine::SessionWineHome(
        "\\??\\Z:\\home\\ann", "\\??\\Z:\\home\\ann\\.wine", "/home/ann/.wine", "ann");
    EXPECT_EQ(standard.unixHome, wine::WineHomeOf("ann").unixHome);
    EXPECT_EQ(standard.unixPrefix, wine::WineHomeOf("ann").unixPrefix);
    EXPECT_EQ(standard.windowsHome, wine::WineHomeOf("ann").windowsHome);
    EXPECT_EQ(standard.windowsPrefix, wine::WineHomeOf("ann").windowsPrefix);

    const wine::WineHome elsewhere = wine::SessionWineHome("\\??\\Z:\\srv\\users\\ann\\",
                                                           "\\??\\Z:\\opt\\pr\xc3\xa9"
                                                           "fix one",
                                                           "/ignored", "bob");
    EXPECT_EQ(elsewhere.unixHome, "/srv/users/ann");
    EXPECT_EQ(elsewhere.windowsHome, "z:\\srv\\users\\ann");
    EXPECT_EQ(elsewhere.unixPrefix,
              "/opt/pr\xc3\xa9"
              "fix one");
    EXPECT_EQ(elsewhere.windowsPrefix,
              "z:\\opt\\pr\xc3\xa9"
              "fix one");
    EXPECT_EQ(wine::IconFolder(elsewhere), "z:\\srv\\users\\ann\\.local\\share\\icons\\");

    // Without WINECONFIGDIR the prefix comes from WINEPREFIX, without both from the home.
    const wine::WineHome prefixOnly =
        wine::SessionWineHome("\\??\\Z:\\var\\ann", "", "/var/w p//", "bob");
    EXPECT_EQ(prefixOnly.unixPrefix, "/var/w p");
    EXPECT_EQ(prefixOnly.windowsPrefix, "z:\\var\\w p");
    EXPECT_EQ(wine::SessionWineHome("\\??\\Z:\\var\\ann", "", "", "bob").unixPrefix,
              "/var/ann/.wine");
    // Nothing from the session (or nothing reachable through z:): the user name's home.
    const wine::WineHome none = wine::SessionWineHome("", "\\??\\D:\\p", "relative", "bob");
    EXPECT_EQ(none.unixHome, "/home/bob");
    EXPECT_EQ(none.unixPrefix, "/home/bob/.wine");
}

TEST(WineHome, DataHomeFromXdgDataHomeWhenAbsolute) {
    const wine::WineHome given =
        wine::SessionWineHome("\\??\\Z:\\home\\ann", "", "", "ann", "/data/ann's share/");
    EXPECT_EQ(given.unixDataHome, "/data/ann's share");
    EXPECT_EQ(wine::DesktopEntryFolder(given), "z:\\data\\ann's share\\applications\\");
    EXPECT_EQ(wine::IconFolder(given), "z:\\data\\ann's share\\icons\\");
    // A relative value is ignored, as the Base Directory rules ask.
    for (const char* ignored : {"", "relative/share", "/"}) {
        const wine::WineHome home =
            wine::SessionWineHome("\\??\\Z:\\srv\\ann", "", "", "ann", ignored);
        EXPECT_EQ(home.unixDataHome, "/srv/ann/.local/share");
        EXPECT_EQ(wine::IconFolder(home), "z:\\srv\\ann\\.local\\share\\icons\\");
    }
}

TEST(MenuBuilder, OnlyShortcutsInsideTheFolderAreHandedOn) {
    const std::string desktop = "C:\\users\\Ann\\Desktop";
    EXPECT_TRUE(wine::LiesUnder("C:\\users\\Ann\\Desktop\\Pics.lnk", desktop));
    EXPECT_TRUE(wine::LiesUnder("c:/USERS/ann/desktop/sub/Pics.lnk", desktop + "\\"));
    EXPECT_FALSE(wine::LiesUnder("C:\\users\\Ann\\Desktop2\\Pics.lnk", desktop));
    EXPECT_FALSE(wine::LiesUnder("C:\\users\\Ann\\Desktop\\", desktop));
    EXPECT_FALSE(wine::LiesUnder("C:\\users\\Ann\\Pics.lnk", desktop));
    EXPECT_FALSE(wine::LiesUnder("C:\\Pics.lnk", ""));
    EXPECT_EQ(wine::MenuBuilderCommandLine("C:\\windows\\system32", "C:\\a b\\P.lnk"),
              "\"C:\\windows\\system32\\winemenubuilder.exe\" -w \"C:\\a b\\P.lnk\"");
}

// The file system as a set of names, recording nothing: the plan itself is checked.
imaging::NumberedPngFallback Plan(std::initializer_list<int> present) {
    const std::set<std::string> names = [&] {
        std::set<std::string> s;
        for (int n : present) s.insert("z:\\i\\tool-" + std::to_string(n) + ".png");
        return s;
    }();
    return imaging::PlanNumberedPngFallback(
        "z:\\i\\tool.png", [&](const std::string& path) { return names.count(path) > 0; });
}

TEST(IconExportPaths, NumberedSeriesFallback) {
    {
        SCOPED_TRACE("0, 1 and 2: number 2 becomes the PNG, 0 and 1 go");
        const auto plan = Plan({0, 1, 2});
        ASSERT_TRUE(plan.usable);
        EXPECT_EQ(plan.renameFrom, "z:\\i\\tool-2.png");
        EXPECT_EQ(plan.deletes,
                  (std::vector<std::string>{"z:\\i\\tool-0.png", "z:\\i\\tool-1.png"}));
    }
    {
        SCOPED_TRACE("only 0");
        const auto plan = Plan({0});
        ASSERT_TRUE(plan.usable);
        EXPECT_EQ(plan.renameFrom, "z:\\i\\tool-0.png");
        EXPECT_TRUE(plan.deletes.empty());
    }
    {
        SCOPED_TRACE("a gap ends the probe: 0, 1, 3");
        const auto plan = Plan({0, 1, 3});
        EXPECT_EQ(plan.renameFrom, "z:\\i\\tool-1.png");
        EXPECT_EQ(plan.deletes, (std::vector<std::string>{"z:\\i\\tool-0.png"}));
    }
    EXPECT_FALSE(Plan({}).usable);
    EXPECT_FALSE(Plan({1, 2}).usable);
}

}  // namespace
