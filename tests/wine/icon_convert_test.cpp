// The icon conversion under Wine, through the Linux convert: the icon a user gets from each kind
// of image and name, what a failure leaves, and a choice made while one converts.
#include "app/icon_convert_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <future>
#include <set>
#include <vector>

#include "app/dialog_ids.h"
#include "app/drop_win.h"
#include "app/icon_command.h"
#include "app/icon_preview_win.h"
#include "app/state_win.h"
#include "host/program_win.h"
#include "host/window_position_win.h"
#include "host/text_encoding_win.h"
#include "wine/shell_quote.h"
#include "tests/wine/wine_test_support.h"
#include "wine/unix_bridge_win.h"

namespace {

using testing_support::ReadBytes;
using testing_support::ShownIcon;
using testing_support::WriteBytes;
using IconConversion = testing_support::IconConversionFixture;

TEST_F(IconConversion, TurnsEachImageIntoANineSizeIcon) {
    ExpectConverted(folder_ + "big.png", folder_ + "big.ico");
    ExpectConverted(folder_ + "photo.jpg", folder_ + "photo.ico");
    ExpectConverted(folder_ + "small.bmp", folder_ + "small.ico");
    ExpectConverted(ImageNamed("big.png", "CAT.PNG"), folder_ + "CAT.ico");
    ExpectConverted(ImageNamed("big.png", "my.cat.png"), folder_ + "my.cat.ico");
    ExpectConverted(ImageNamed("big.png", "O'Brien.png"), folder_ + "O'Brien.ico");
    ExpectConverted(ImageNamed("big.png", "Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f.png"),
                    folder_ + "Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f.ico");

    // On drive C: the path goes through the prefix's drive_c.
    const std::string onC = "C:\\lumora icon test\\";
    ::CreateDirectoryW(host::Widen(onC).c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(host::Widen(folder_ + "photo.jpg").c_str(),
                            host::Widen(onC + "holiday.jpeg").c_str(), FALSE));
    ExpectConverted(onC + "holiday.jpeg", onC + "holiday.ico");
    ::DeleteFileW(host::Widen(onC + "holiday.jpeg").c_str());
    ::DeleteFileW(host::Widen(onC + "holiday.ico").c_str());
    ::RemoveDirectoryW(host::Widen(onC).c_str());
}

TEST_F(IconConversion, FileNamesMeanNothingToTheShellOrToImageMagick) {
    ExpectConverted(ImageNamed("big.png", "a$(touch PWNED)b.png"),
                    folder_ + "a$(touch PWNED)b.ico");
    ExpectConverted(ImageNamed("big.png", "x`touch PWNED`y;touch PWNED.png"),
                    folder_ + "x`touch PWNED`y;touch PWNED.ico");
    // The shell would have run it in its own directory, the home or the image folder.
    EXPECT_EQ(Unix("ls PWNED ~/PWNED " + wine::ShellQuote(unixFolder_) +
                   "/PWNED 2>&1 | grep -c 'No such file'"),
              "3\n");
    // ImageMagick expands % in output names, reads [...] as a frame or size selector, @ as a
    // list of files, ~ as the home and a leading - as an option.
    ExpectConverted(ImageNamed("big.png", "100%x%.png"), folder_ + "100%x%.ico");
    ExpectConverted(ImageNamed("big.png", "a%d.png"), folder_ + "a%d.ico");
    ExpectConverted(ImageNamed("photo.jpg", "Holiday [2019].jpg"), folder_ + "Holiday [2019].ico");
    ExpectConverted(ImageNamed("big.png", "@list.png"), folder_ + "@list.ico");
    ExpectConverted(ImageNamed("big.png", "~x.png"), folder_ + "~x.ico");
    ExpectConverted(ImageNamed("big.png", "-resize 1x1.png"), folder_ + "-resize 1x1.ico");
}

TEST_F(IconConversion, APhotoKeepsItsProportionsOnATransparentSquare) {
    // A 3:2 photo with a round subject.
    ASSERT_TRUE(MakeImages(
        "convert -size 3000x2000 xc:white -fill blue -draw 'circle 1500,1000 1500,250' wide.jpg"));
    ExpectConverted(folder_ + "wide.jpg", folder_ + "wide.ico");
    const std::string image = wine::ShellQuote(unixFolder_ + "/wide.ico") + "[8]";
    // The opaque part: the whole width, two thirds of the height, in the middle (to a row: where
    // the edge rows fall differs between ImageMagick 6 and 7).
    const std::string opaque =
        Unix("convert " + image + " -alpha extract -threshold 50% -format '%w %h %@' info:");
    int side = 0, across = 0, width = 0, height = 0, left = -1, top = -1;
    ASSERT_EQ(std::sscanf(opaque.c_str(), "%d %d %dx%d+%d+%d", &side, &across, &width, &height,
                          &left, &top),
              6)
        << opaque;
    EXPECT_EQ(side, 256);
    EXPECT_EQ(across, 256);
    EXPECT_EQ(width, 256);
    EXPECT_EQ(left, 0);
    EXPECT_NEAR(height, 256 * 2 / 3.0, 1);
    EXPECT_NEAR(top, 256 - top - height, 1) << "space above and below";
    // The subject, whatever is blue: as wide as it is high.
    const std::string circle = Unix("convert " + image +
                                    " -alpha off -fuzz 25% -fill white +opaque blue "
                                    "-format '%@' info:");
    ASSERT_EQ(std::sscanf(circle.c_str(), "%dx%d", &width, &height), 2) << circle;
    EXPECT_NEAR(width, 128, 2);
    EXPECT_NEAR(height, width, 1);
}

TEST_F(IconConversion, ReplacesAnOlderIconOfTheSameName) {
    WriteBytes(folder_ + "big.ico", "older icon");
    ExpectConverted(folder_ + "big.png", folder_ + "big.ico");
}

TEST_F(IconConversion, AFailedConversionLeavesTheEarlierChoice) {
    ExpectConverted(folder_ + "big.png", folder_ + "big.ico");
    ASSERT_TRUE(ShownIcon());
    // A PNG by its signature that no decoder can read, beside an older icon of its name.
    WriteBytes(folder_ + "notanimage.png",
               std::string("\x89PNG\r\n\x1a\n", 8) + "just some text, no picture");
    ASSERT_TRUE(::CopyFileW(host::Widen(folder_ + "big.ico").c_str(),
                            host::Widen(folder_ + "notanimage.ico").c_str(), FALSE));
    ExpectNothingChangedBy(folder_ + "notanimage.png");
}

TEST_F(IconConversion, TheBytesDecideWhatIsConvertedAndByWhichDecoder) {
    // What ImageMagick would read by its bytes, under the names of photos: refused before
    // anything runs.
    ASSERT_TRUE(MakeImages(
        "convert -size 40x30 xc:red ppm:ppm.jpg && convert -size 40x30 xc:red gif:gif.png && "
        "convert -size 40x30 xc:red xpm:xpm.bmp"));
    ExpectConverted(folder_ + "big.png", folder_ + "big.ico");
    {
        testing_support::SlowConverter converter;
        ASSERT_TRUE(converter.Ready());
        converter.Release();
        for (const char* name : {"ppm.jpg", "gif.png", "xpm.bmp"})
            ExpectNothingChangedBy(folder_ + name);
        EXPECT_FALSE(converter.WaitUntilStarted(std::chrono::milliseconds(0)));
    }
    // A JPEG under a PNG's name is read as the JPEG it is.
    ExpectConverted(ImageNamed("photo.jpg", "really a photo.png"), folder_ + "really a photo.ico");
}

TEST_F(IconConversion, APictureOnReadOnlyMediaGetsItsIconInTheUsersOwnFolder) {
    const std::string media = wine::ShellQuote(unixFolder_ + "/cd");
    // A read-only mount, made of a small one that is filled first; only root can.
    struct Mount {
        std::string folder;
        ~Mount() { Unix("umount " + folder + " 2>/dev/null; echo"); }
    } mount{media};
    if (Unix("mkdir " + media + " && mount -t tmpfs -o size=2m lumora-test " + media + " && cp " +
             wine::ShellQuote(unixFolder_ + "/big.png") + " " + media + "/ && printf older > " +
             media + "/big.ico && mount -o remount,ro " + media + " && echo ok") != "ok\n")
        GTEST_SKIP() << "no read-only mount on this machine";
    const std::string source = folder_ + "cd\\big.png";
    const std::string localAppData = host::LocalAppDataFolder();
    const std::optional<std::string> fallback = app::FallbackIconPath(localAppData, source);
    ASSERT_TRUE(fallback);
    testing_support::RemovePath(localAppData + "Lumora-builder");
    ExpectConverted(source, *fallback);
    // Again, replacing its own icon there; the older one beside the picture stays as it was.
    ExpectConverted(source, *fallback);
    EXPECT_EQ(ReadBytes(folder_ + "cd\\big.ico"), "older");
    testing_support::RemovePath(localAppData + "Lumora-builder");
}

TEST_F(IconConversion, RefusesAFileNameWithoutADot) {
    // The folder's dot must not name the target "icon test\v1.ico".
    ASSERT_TRUE(::CreateDirectoryW(host::Widen(folder_ + "v1.2").c_str(), nullptr));
    const std::string source = ImageNamed("big.png", "v1.2\\photo");
    WriteBytes(folder_ + "v1.ico", "unrelated");
    app::IconSource = folder_ + "small.ico";
    app::ConvertIcon(source);
    EXPECT_EQ(app::IconSource, folder_ + "small.ico");
    EXPECT_EQ(ReadBytes(folder_ + "v1.ico"), "unrelated");
    EXPECT_FALSE(host::FileExists(folder_ + "v1.2\\photo.ico"));
    EXPECT_FALSE(host::FileExists(folder_ + "v1.2\\ico"));
}

TEST_F(IconConversion, TheLastChoiceWins) {
    // Another image dropped while the first converts: converted and shown next, while the
    // first one's result is never written. Build would take IconSource: the new icon.
    const std::string other = ImageNamed("big.png", "other.png");
    ::PostMessageW(app::MainDialog, WM_APP, 0, reinterpret_cast<LPARAM>(&other));
    droppedDuringConversion_ = false;
    ExpectConverted(folder_ + "photo.jpg", folder_ + "other.ico");
    EXPECT_TRUE(droppedDuringConversion_);
    EXPECT_FALSE(host::FileExists(folder_ + "photo.ico"));

    // An icon file dropped meanwhile is the choice: the conversion is not shown.
    const std::string icon = folder_ + "other.ico";
    ::PostMessageW(app::MainDialog, WM_APP, 0, reinterpret_cast<LPARAM>(&icon));
    droppedDuringConversion_ = false;
    app::ConvertIcon(folder_ + "small.bmp");
    EXPECT_TRUE(droppedDuringConversion_);
    EXPECT_EQ(app::IconSource, icon);
    EXPECT_FALSE(host::FileExists(folder_ + "small.ico"));
    EXPECT_EQ(ShownIcon(), app::PreviewIcon.Get());

    // A conversion started at the open dialog's OK: the choice of that picture takes it over,
    // with no second converter; the choice of another ends it, and it is never shown.
    for (const std::string& chosen : {folder_ + "small.bmp", folder_ + "big.png"}) {
        testing_support::SlowConverter converter;
        ASSERT_TRUE(converter.Ready());
        testing_support::RemovePath(folder_ + "small.ico");
        app::StartIconConversionEarly(folder_ + "small.bmp");
        ASSERT_TRUE(converter.WaitUntilStarted());
        converter.Release();
        ExpectConverted(chosen, *app::IconTargetPath(chosen));
        EXPECT_EQ(converter.Starts(), chosen.ends_with("small.bmp") ? 1 : 2);
    }
}

}  // namespace
