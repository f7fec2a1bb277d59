#include "app/icon_command.h"

#include <gtest/gtest.h>

namespace {

TEST(IconTarget, ReplacesTheLastExtensionOfTheFileName) {
    EXPECT_EQ(app::IconTargetPath("C:\\img\\cat.png"), "C:\\img\\cat.ico");
    EXPECT_EQ(app::IconTargetPath("C:\\img\\holiday.jpeg"), "C:\\img\\holiday.ico");
    EXPECT_EQ(app::IconTargetPath("C:\\img\\my.cat.png"), "C:\\img\\my.cat.ico");
    EXPECT_EQ(app::IconTargetPath("C:\\IMG\\CAT.PNG"), "C:\\IMG\\CAT.ico");
    EXPECT_EQ(app::IconTargetPath("Z:\\home\\u\\Caf\xc3\xa9 \xe5\x86\x99.png"),
              "Z:\\home\\u\\Caf\xc3\xa9 \xe5\x86\x99.ico");
}

TEST(IconTarget, RefusesAFileNameWithoutADot) {
    EXPECT_EQ(app::IconTargetPath(""), std::nullopt);
    EXPECT_EQ(app::IconTargetPath("cat"), std::nullopt);
    EXPECT_EQ(app::IconTargetPath("C:\\img.v2\\cat"), std::nullopt);
    EXPECT_EQ(app::IconTargetPath("C:/img.v2/cat"), std::nullopt);
    EXPECT_EQ(app::IconTargetPath("C:\\img\\"), std::nullopt);
}

TEST(IconCommand, WindowsForm) {
    EXPECT_EQ(app::WindowsConvertCommand("C:\\img\\cat.png", "C:\\img\\cat.ico.tmp.ico"),
              "magick convert \"C:\\img\\cat.png\" -define png:color-type=6 -define "
              "icon:auto-resize=16,24,32,48,64,72,96,128,256 \"C:\\img\\cat.ico.tmp.ico\"");
    EXPECT_EQ(app::IconTempPath("C:\\img\\cat.ico"), "C:\\img\\cat.ico.tmp.ico");
}

TEST(IconCommand, UnixFormQuotesEveryPath) {
    EXPECT_EQ(app::UnixConvertCommand("/home/u/a$(touch PWNED)b.png", "/home/u/t.ico",
                                      "/home/u/O'Brien.ico"),
              "convert '/home/u/a$(touch PWNED)b.png' -define png:color-type=6 -define "
              "icon:auto-resize=16,24,32,48,64,72,96,128,256 '/home/u/t.ico' && mv -f "
              "'/home/u/t.ico' '/home/u/O'\\''Brien.ico'");
}

}  // namespace
