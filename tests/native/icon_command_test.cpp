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

TEST(IconFileKind, GoesByTheLastFourCharactersInAnyCase) {
    for (const char* name : {"photo.JPEG", "photo.jpg", "snapshot-jpeg", "scan.Bmp", "a.png"})
        EXPECT_EQ(app::IconFileKindOf(name), app::IconFileKind::Image) << name;
    EXPECT_EQ(app::IconFileKindOf("Lumora.ICO"), app::IconFileKind::Icon);
    for (const char* name : {"photo.jpe", "anim.gif", "Lumora.lnk", "png", ""})
        EXPECT_EQ(app::IconFileKindOf(name), app::IconFileKind::Other) << name;
}

TEST(IconCommand, ImageMagickSeesOnlyItsOwnNames) {
    const std::string arguments = app::ConvertArguments();
    // Both forms run the same arguments; the folder and the image path are the only texts of
    // the user's, and those reach the shell alone, as single-quoted words.
    EXPECT_EQ(app::WindowsConvertCommand(), "magick convert " + arguments);
    EXPECT_EQ(app::UnixConvertScript("/home/u/100%x% [2019]", "/home/u/-@~*?$`x`'.png", 60),
              "cd '/home/u/100%x% [2019]' || exit; { ln -L -- '/home/u/-@~*?$`x`'\\''.png' src "
              "2>/dev/null || cp -L -- '/home/u/-@~*?$`x`'\\''.png' src; } && timeout -k 5 60 "
              "convert " +
                  arguments + "; status=$?; rm -f src; exit $status");
    // The JPEG decoder is told the size before the file is read; the output name comes last.
    EXPECT_EQ(arguments.find("-define jpeg:size=512x512 \"src[0]\" "), 0u);
    EXPECT_EQ(arguments.substr(arguments.rfind(' ') + 1), "out.ico");
    EXPECT_NE(arguments.find(" icon:auto-resize=16,24,32,48,64,72,96,128,256 "), std::string::npos);
}

}  // namespace
