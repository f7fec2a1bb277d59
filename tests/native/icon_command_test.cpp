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

TEST(IconCommand, ImageMagickSeesOnlyItsOwnNamesAndTheDecoderTheBytesShowed) {
    using imaging::PictureFormat;
    for (const auto& [format, input] : {std::pair{PictureFormat::Jpeg, "\"jpeg:src[0]\""},
                                        std::pair{PictureFormat::Png, "\"png:src[0]\""},
                                        std::pair{PictureFormat::Bmp, "\"bmp:src[0]\""}}) {
        const std::string arguments = app::ConvertArguments(format);
        SCOPED_TRACE(arguments);
        // The JPEG decoder is told the size before the file is read; the output name comes last.
        EXPECT_EQ(arguments.find(std::string("-define jpeg:size=512x512 ") + input + " "), 0u);
        EXPECT_EQ(arguments.substr(arguments.rfind(' ') + 1), "out.ico");
        EXPECT_NE(arguments.find(" icon:auto-resize=16,24,32,48,64,72,96,128,256 "),
                  std::string::npos);
        // The folder and the image path are the only texts of the user's in the script, and
        // they reach the shell alone, as single-quoted words.
        const std::string script =
            app::UnixConvertScript("/home/u/100%x% [2019]", "/home/u/-@~*?$`x`'.png", 60, format);
        EXPECT_NE(script.find(" convert " + arguments + " "), std::string::npos);
        EXPECT_EQ(script.find("cd '/home/u/100%x% [2019]' || exit;"), 0u);
        EXPECT_NE(script.find(" '/home/u/-@~*?$`x`'\\''.png' src"), std::string::npos);
        EXPECT_NE(script.find("timeout -k 5 60 convert"), std::string::npos);
    }
}

TEST(IconCommand, TheFallbackPlaceIsTheImagesOwnInTheUsersIconFolder) {
    const auto place = app::FallbackIconPath("C:\\Users\\u\\AppData\\Local", "D:\\Photos\\Cat.PNG");
    ASSERT_TRUE(place);
    const std::string folder = "C:\\Users\\u\\AppData\\Local\\Lumora-builder\\Icons\\";
    EXPECT_EQ(place->find(folder), 0u);
    EXPECT_EQ(place->substr(place->rfind('\\')), "\\Cat.ico");
    // The same image in any case has the same place; another image of that name another one.
    EXPECT_EQ(app::FallbackIconPath("C:\\Users\\u\\AppData\\Local\\", "d:\\photos\\cat.png")
                  ->substr(0, place->rfind('\\')),
              place->substr(0, place->rfind('\\')));
    EXPECT_NE(app::FallbackIconPath("C:\\Users\\u\\AppData\\Local", "E:\\Photos\\Cat.PNG"), place);
    EXPECT_EQ(app::FallbackIconPath("", "D:\\Photos\\Cat.PNG"), std::nullopt);
    EXPECT_EQ(app::FallbackIconPath("C:\\Local", "D:\\Photos.v2\\Cat"), std::nullopt);
}

}  // namespace
