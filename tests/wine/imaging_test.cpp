#include <algorithm>
#include <cstring>
#include <utility>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "imaging/gdiplus_save_win.h"
#include "imaging/group_icon_win.h"
#include "tests/wine/wine_test_support.h"
#include "wine/desktop_entry_win.h"

namespace {

using testing_support::Be32;
using testing_support::HomeUnix;
using testing_support::HomeWindows;
using testing_support::Le32;

using testing_support::ReadBytes;
using testing_support::WriteBytes;
void Remove(const std::string& path) { ::DeleteFileW(host::Widen(path).c_str()); }

// Runs a shell script on the Unix side through Wine's start and waits for its marker file.
// Returns false when it did not finish within a minute.
bool RunUnix(const std::string& name, const std::string& body) {
    const std::string script = HomeWindows() + name + ".sh";
    const std::string marker = HomeWindows() + name + ".done";
    Remove(marker);
    WriteBytes(script, body + "\ntouch " + HomeUnix() + name + ".done\n");
    std::wstring command = L"start.exe /unix /bin/sh " + host::Widen(HomeUnix() + name + ".sh");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &process)) {
        return false;
    }
    host::UniqueHandle processHandle(process.hProcess);
    host::UniqueHandle threadHandle(process.hThread);
    for (int i = 0; i < 600; ++i) {
        if (host::FileExists(marker)) return true;
        ::Sleep(100);
    }
    return false;
}

std::string BuilderExe() { return host::ProgramFolder() + "Lumora-builder.exe"; }

TEST(GroupIcon, ProgramIconMatchesWrestool) {
    const std::string ico = HomeWindows() + "builder-group.ico";
    const std::string reference = HomeWindows() + "builder-wrestool.ico";
    // A longer file in the way must be replaced whole, not overwritten in part.
    WriteBytes(ico, std::string(40000, 'x'));
    std::string quoted = BuilderExe();
    quoted.insert(quoted.begin(), '"');
    quoted.push_back('"');
    ASSERT_EQ(imaging::WriteGroupIcon(quoted, 1, ico), 1);
    EXPECT_EQ(imaging::LargestIconWidth, 128);
    ASSERT_TRUE(RunUnix("wrestool", "wrestool -x --type=14 '" +
                                        testing_support::UnixPathOf(host::Widen(BuilderExe())) +
                                        "' > " + HomeUnix() + "builder-wrestool.ico"));
    const auto written = ReadBytes(ico);
    ASSERT_EQ(written.size(), 19518u);
    // wrestool copies the image resource with the PE's alignment padding behind it: the bytes
    // match up to the end of the image, and what wrestool has beyond is zero padding.
    const auto extracted = ReadBytes(reference);
    ASSERT_GE(extracted.size(), written.size());
    EXPECT_TRUE(std::equal(written.begin(), written.end(), extracted.begin()));
    EXPECT_TRUE(std::all_of(extracted.begin() + static_cast<std::ptrdiff_t>(written.size()),
                            extracted.end(), [](auto byte) { return byte == 0; }));
    const std::vector<uint8_t> head(written.begin(), written.begin() + 22);
    EXPECT_EQ(head, (std::vector<uint8_t>{0, 0, 1, 0,    1,    0, 128, 128, 0, 0, 1,
                                          0, 8, 0, 0x28, 0x4C, 0, 0,   22,  0, 0, 0}));
}

TEST(GroupIcon, OrdinalPicksGroupInEnumerationOrder) {
    const std::string module = host::ProgramFolder() + "multi_icon.dll";
    const std::string ico = HomeWindows() + "multi-2.ico";
    Remove(ico);
    ASSERT_EQ(imaging::WriteGroupIcon(module, 2, ico), 1);
    // BETA holds 256 (width byte 0), 48, 32 and 16: the 256 never counts.
    EXPECT_EQ(imaging::LargestIconWidth, 48);
    const auto bytes = ReadBytes(ico);
    ASSERT_GE(bytes.size(), 6u + 4 * 16);
    EXPECT_EQ(bytes[4], 4);
    EXPECT_EQ(bytes[6], 0);
    EXPECT_EQ(bytes[22], 48);
    // The image of each record sits at its offset: the 256 one is stored as PNG.
    EXPECT_EQ(Le32(bytes, 18), 6u + 4 * 16);
    EXPECT_EQ(Be32(bytes, Le32(bytes, 18)), 0x89504E47u);
    EXPECT_EQ(Le32(bytes, 66) + Le32(bytes, 62), bytes.size());
    {
        // A real loader accepts the file at the recorded size.
        host::UniqueIcon icon(static_cast<HICON>(
            ::LoadImageW(nullptr, host::Widen(ico).c_str(), IMAGE_ICON, 48, 48, LR_LOADFROMFILE)));
        EXPECT_TRUE(icon);
    }

    ASSERT_EQ(imaging::WriteGroupIcon(module, 1, ico), 1);
    EXPECT_EQ(imaging::LargestIconWidth, 32);
    EXPECT_EQ(ReadBytes(ico)[4], 2);

    {
        SCOPED_TRACE("fewer groups than the ordinal: nothing written, and the answer says so");
        Remove(ico);
        EXPECT_EQ(imaging::WriteGroupIcon(module, 3, ico), 0);
        EXPECT_EQ(imaging::LargestIconWidth, 0);
        EXPECT_FALSE(host::FileExists(ico));
    }
    {
        SCOPED_TRACE("module missing");
        EXPECT_EQ(imaging::WriteGroupIcon(HomeWindows() + "nothing-here.dll", 1, ico), 0);
        EXPECT_FALSE(host::FileExists(ico));
    }
}

// A 64x48 bitmap filled with one colour, in an open GDI+ session.
class GdiplusSave : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session_.Started());
        Gdiplus::GpBitmap* bitmap = nullptr;
        ASSERT_EQ(Gdiplus::DllExports::GdipCreateBitmapFromScan0(64, 48, 0, PixelFormat32bppARGB,
                                                                 nullptr, &bitmap),
                  Gdiplus::Ok);
        image_.Reset(bitmap);
        Gdiplus::GpGraphics* graphics = nullptr;
        ASSERT_EQ(Gdiplus::DllExports::GdipGetImageGraphicsContext(image_.Get(), &graphics),
                  Gdiplus::Ok);
        Gdiplus::DllExports::GdipGraphicsClear(graphics, 0xFF2080C0);
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
        folder_ = HomeWindows() + "gdiplus\\";
        ::CreateDirectoryW(host::Widen(folder_).c_str(), nullptr);
    }
    imaging::GdiplusScope session_;
    imaging::UniqueGpImage image_;
    std::string folder_;
};

TEST_F(GdiplusSave, EncoderLookupIsACaseInsensitiveSubstringMatch) {
    const std::string png = imaging::FindEncoderClsid("image/png");
    ASSERT_EQ(png.size(), 38u);
    EXPECT_EQ(png.front(), '{');
    EXPECT_EQ(imaging::FindEncoderClsid("PNG"), png);
    EXPECT_EQ(imaging::FindEncoderClsid("png"), png);
    EXPECT_NE(imaging::FindEncoderClsid("image/jpeg"), png);
    EXPECT_EQ(imaging::FindEncoderClsid("image/jpg"), "");
    EXPECT_EQ(imaging::SaveImageAs(image_.Get(), folder_ + "x.jpg", "image/jpg"), 2);
    EXPECT_EQ(imaging::SaveImageAsPng(image_.Get(), "   "), 2);
    EXPECT_EQ(imaging::SaveImageAsPng(nullptr, folder_ + "x.png"), 2);
    EXPECT_FALSE(host::FileExists(folder_ + "x.jpg"));
    EXPECT_FALSE(host::FileExists(folder_ + "x.png"));
}

TEST_F(GdiplusSave, EveryFormatIsWrittenAndReadBackByImageMagick) {
    // A name outside the ANSI code page must survive the trip to GDI+.
    const std::string base = folder_ + "Fotos Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f";
    EXPECT_EQ(imaging::SaveImageAsPng(image_.Get(), base + ".png"), 0);
    EXPECT_EQ(imaging::SaveImageAsJpeg(image_.Get(), base + ".jpg"), 0);
    EXPECT_EQ(imaging::SaveImageAsBmp(image_.Get(), base + ".bmp"), 0);
    EXPECT_EQ(imaging::SaveImageAsGif(image_.Get(), base + ".gif"), 0);
    EXPECT_EQ(imaging::SaveImageAsTiff(image_.Get(), base + ".tif"), 0);
    // Conversion from a saved file, and from one that does not exist.
    EXPECT_EQ(imaging::ConvertImageToPng(base + ".bmp", folder_ + "converted.png"), 0);
    const int missing = imaging::ConvertImageToPng(folder_ + "missing.bmp", folder_ + "never.png");
    EXPECT_NE(missing, 0);
    EXPECT_FALSE(host::FileExists(folder_ + "never.png"));
    EXPECT_EQ(imaging::ConvertImageToJpeg(" ", folder_ + "never.jpg"), 2);

    const std::string unixFolder = HomeUnix() + "gdiplus/";
    ASSERT_TRUE(RunUnix("identify", "cd " + unixFolder +
                                        " && for f in *.png *.jpg *.bmp *.gif *.tif; do "
                                        "identify -format '%f %w %h\\n' \"$f\"; done "
                                        "> identify.txt 2>&1"));
    const auto report = ReadBytes(folder_ + "identify.txt");
    const std::string text(report.begin(), report.end());
    const std::string name = "Fotos Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f";
    // What each file is, from its first bytes (ImageMagick 6 calls a version-3 bitmap BMP3, 7
    // calls it BMP); that ImageMagick reads it, from the size it finds. Wine's own GIF encoder
    // writes image data that ImageMagick calls corrupt, so the GIF is checked by its signature.
    for (const auto& [file, signature] : {std::pair{name + ".png", "\x89PNG"},
                                          {name + ".jpg", "\xff\xd8\xff"},
                                          {name + ".bmp", "BM"},
                                          {name + ".tif", "II*"},
                                          {name + ".gif", "GIF8"},
                                          {std::string("converted.png"), "\x89PNG"}}) {
        const auto bytes = ReadBytes(folder_ + file);
        const std::string start(bytes.begin(), bytes.begin() + std::min(bytes.size(), size_t{4}));
        EXPECT_EQ(start.substr(0, std::strlen(signature)), signature) << file;
        if (file.ends_with(".gif")) continue;
        EXPECT_NE(text.find(file + " 64 48"), std::string::npos) << file << " in\n" << text;
    }
}

TEST(GdiplusSession, SavePngInSessionNeedsNoOuterSession) {
    // The bitmap is made inside a session that ends before the save opens its own.
    const std::string path = HomeWindows() + "session.png";
    Remove(path);
    imaging::GdiplusScope outer;
    ASSERT_TRUE(outer.Started());
    Gdiplus::GpBitmap* bitmap = nullptr;
    ASSERT_EQ(Gdiplus::DllExports::GdipCreateBitmapFromScan0(8, 8, 0, PixelFormat32bppARGB, nullptr,
                                                             &bitmap),
              Gdiplus::Ok);
    imaging::UniqueGpImage image(bitmap);
    imaging::SavePngInSession(image.Get(), path);
    const auto bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 24u);
    EXPECT_EQ(Be32(bytes, 0), 0x89504E47u);
}

class IconExport : public testing::Test {
protected:
    std::string folder_ = HomeWindows() + ".local\\share\\icons\\";
};

TEST_F(IconExport, WritesIcoAndPngOnceAndThenReturnsThePng) {
    const std::string ico = folder_ + "lumora-builder.ico";
    const std::string png = folder_ + "lumora-builder.png";
    Remove(ico);
    Remove(png);
    ASSERT_EQ(wine::ExportDesktopIcon(BuilderExe()), png);
    EXPECT_EQ(ReadBytes(ico).size(), 19518u);
    const auto bytes = ReadBytes(png);
    ASSERT_GE(bytes.size(), 24u);
    EXPECT_EQ(Be32(bytes, 0), 0x89504E47u);
    EXPECT_EQ(Be32(bytes, 16), 128u);  // IHDR width
    EXPECT_EQ(Be32(bytes, 20), 128u);  // IHDR height

    // With the PNG present nothing is written again: a removed ICO stays removed.
    Remove(ico);
    EXPECT_EQ(wine::ExportDesktopIcon(BuilderExe()), png);
    EXPECT_FALSE(host::FileExists(ico));
    EXPECT_EQ(ReadBytes(png), bytes);
}

TEST_F(IconExport, UnloadableModuleGivesNothing) {
    EXPECT_EQ(wine::ExportDesktopIcon(HomeWindows() + "No Such Tool.exe"), "");
    EXPECT_FALSE(host::FileExists(folder_ + "nosuchtool.ico"));
}

TEST_F(IconExport, FallsBackToTheNumberedSeriesWhenNoPngCanBeMade) {
    // An existing ICO is used as it stands; one that is not an icon makes the PNG fail.
    const std::string base = folder_ + "brokentool";
    WriteBytes(base + ".ico", "not an icon");
    Remove(base + ".png");
    {
        SCOPED_TRACE("no numbered files: the ICO path");
        EXPECT_EQ(wine::ExportDesktopIcon("C:\\Apps\\Broken Tool.exe"), base + ".ico");
        EXPECT_FALSE(host::FileExists(base + ".png"));
    }
    {
        SCOPED_TRACE("0, 1, 2 and 4: number 2 becomes the PNG");
        for (const char* n : {"-0", "-1", "-2", "-4"}) WriteBytes(base + n + ".png", n);
        EXPECT_EQ(wine::ExportDesktopIcon("C:\\Apps\\Broken Tool.exe"), base + ".png");
        const auto png = ReadBytes(base + ".png");
        EXPECT_EQ(std::string(png.begin(), png.end()), "-2");
        EXPECT_FALSE(host::FileExists(base + "-0.png"));
        EXPECT_FALSE(host::FileExists(base + "-1.png"));
        EXPECT_FALSE(host::FileExists(base + "-2.png"));
        EXPECT_TRUE(host::FileExists(base + "-4.png"));
    }
    Remove(base + "-4.png");
    Remove(base + ".png");
    Remove(base + ".ico");
}

}  // namespace
