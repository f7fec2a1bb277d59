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
#include "host/text_encoding_win.h"
#include "wine/shell_quote.h"
#include "tests/wine/wine_test_support.h"
#include "wine/unix_bridge_win.h"

namespace {

using testing_support::IconSizes;

const std::vector<int> kNineSizes = {16, 24, 32, 48, 64, 72, 96, 128, 256};

using testing_support::ReadBytes;
using testing_support::WriteBytes;

HICON ShownIcon() {
    return reinterpret_cast<HICON>(
        ::SendDlgItemMessageW(app::MainDialog, app::kIconPictureId, STM_GETIMAGE, IMAGE_ICON, 0));
}

// The names in a folder, sorted.
std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAW entry{};
    const HANDLE find = ::FindFirstFileW(host::Widen(folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") names.insert(host::Narrow(name));
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return names;
}

// What conversions left in TEMP: their own folders are named lumora-icon-*.
std::set<std::string> ConversionLeftovers() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    std::set<std::string> left;
    for (const std::string& name : FilesIn(host::Narrow(temp))) {
        if (name.rfind("lumora-icon-", 0) == 0) left.insert(name);
    }
    return left;
}

// While a conversion waits, a posted WM_APP plays a user who drops another file meanwhile.
bool droppedDuringConversion = false;
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        droppedDuringConversion = true;
        app::HandleDroppedPath(*reinterpret_cast<const std::string*>(lParam));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A window holding the picture control the conversion shows its result in, and a folder of
// images made by the real ImageMagick on the Unix side.
class IconConversion : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(testing_support::UserName().empty());
        unixFolder_ = testing_support::HomeUnix() + "icon test";
        folder_ = testing_support::HomeWindows() + "icon test\\";
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"LumoraIconTestHost";
        ::RegisterClassW(&windowClass);
        app::MainDialog =
            ::CreateWindowExW(0, L"LumoraIconTestHost", L"icon test", WS_OVERLAPPEDWINDOW, 0, 0,
                              200, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_TRUE(app::MainDialog);
        ASSERT_TRUE(::CreateWindowExW(
            0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON, 0, 0, 32, 32, app::MainDialog,
            reinterpret_cast<HMENU>(INT_PTR{app::kIconPictureId}), windowClass.hInstance, nullptr));
        const std::string folder = wine::ShellQuote(unixFolder_);
        ASSERT_EQ(
            wine::RunUnixCaptured("rm -rf " + folder + " && mkdir " + folder + " && cd " + folder +
                                  " && convert -size 300x300 xc:red -fill blue -draw "
                                  "'circle 150,150 150,40' big.png && convert -size 640x480 "
                                  "xc:green photo.jpg && convert -size 48x48 xc:yellow "
                                  "small.bmp && echo made"),
            "made\n");
    }

    void TearDown() override {
        ::DestroyWindow(app::MainDialog);
        app::MainDialog = nullptr;
        app::PreviewIcon.Reset();
        app::IconSource.clear();
        wine::RunUnixCaptured("rm -rf " + wine::ShellQuote(unixFolder_) + " && echo gone");
    }

    // A copy of one of the generated images under the given name, made through Windows.
    std::string ImageNamed(const std::string& generated, const std::string& name) {
        const std::string path = folder_ + name;
        EXPECT_TRUE(::CopyFileW(host::Widen(folder_ + generated).c_str(), host::Widen(path).c_str(),
                                FALSE));
        return path;
    }

    // Text a command prints on the Unix side.
    static std::string Unix(const std::string& command) { return wine::RunUnixCaptured(command); }

    // Converts the image and checks what the user gets: the nine-size icon beside it, named by
    // IconSource and shown; no other new file beside it or in TEMP; the image itself untouched.
    void ExpectConverted(const std::string& source, const std::string& target) {
        SCOPED_TRACE(source);
        const std::string sourceBytes = ReadBytes(source);
        const std::string folder = source.substr(0, source.rfind('\\') + 1);
        std::set<std::string> expectedFiles = FilesIn(folder);
        expectedFiles.insert(target.substr(folder.size()));
        app::ConvertIcon(source);
        EXPECT_EQ(app::IconSource, target);
        EXPECT_EQ(IconSizes(ReadBytes(target)), kNineSizes);
        EXPECT_EQ(FilesIn(folder), expectedFiles);
        EXPECT_EQ(ConversionLeftovers(), std::set<std::string>());
        EXPECT_EQ(ReadBytes(source), sourceBytes);
        EXPECT_TRUE(app::PreviewIcon);
        EXPECT_EQ(ShownIcon(), app::PreviewIcon.Get());
    }

    // After a failed conversion of the image: the earlier icon is still the choice and still
    // shown, an older .ico of the image's name is as it was, and nothing is left behind.
    void ExpectNothingChangedBy(const std::string& image) {
        SCOPED_TRACE(image);
        const std::string choice = app::IconSource;
        const HICON shown = ShownIcon();
        const std::set<std::string> files = FilesIn(folder_);
        const std::string older = ReadBytes(*app::IconTargetPath(image));
        app::ConvertIcon(image);
        EXPECT_EQ(app::IconSource, choice);
        EXPECT_EQ(ShownIcon(), shown);
        EXPECT_EQ(app::PreviewIcon.Get(), shown);
        EXPECT_EQ(ReadBytes(*app::IconTargetPath(image)), older);
        EXPECT_EQ(FilesIn(folder_), files);
        EXPECT_EQ(ConversionLeftovers(), std::set<std::string>());
    }

    std::string unixFolder_;
    std::string folder_;
};

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
    ASSERT_EQ(Unix("cd " + wine::ShellQuote(unixFolder_) +
                   " && convert -size 3000x2000 xc:white -fill blue -draw 'circle 1500,1000 "
                   "1500,250' wide.jpg && echo made"),
              "made\n");
    ExpectConverted(folder_ + "wide.jpg", folder_ + "wide.ico");
    const std::string image = wine::ShellQuote(unixFolder_ + "/wide.ico") + "[8]";
    // The opaque part: the whole width, two thirds of the height, in the middle.
    EXPECT_EQ(Unix("convert " + image + " -alpha extract -threshold 50% -format '%w %h %@' info:"),
              "256 256 256x171+0+43");
    // The subject, whatever is blue: as wide as it is high.
    const std::string circle = Unix("convert " + image +
                                    " -alpha off -fuzz 25% -fill white +opaque blue "
                                    "-format '%@' info:");
    int width = 0, height = 0;
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
    // Not an image, beside an older icon of its name.
    WriteBytes(folder_ + "notanimage.png", "just some text, no picture");
    ASSERT_TRUE(::CopyFileW(host::Widen(folder_ + "big.ico").c_str(),
                            host::Widen(folder_ + "notanimage.ico").c_str(), FALSE));
    ExpectNothingChangedBy(folder_ + "notanimage.png");
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
    droppedDuringConversion = false;
    ExpectConverted(folder_ + "photo.jpg", folder_ + "other.ico");
    EXPECT_TRUE(droppedDuringConversion);
    EXPECT_FALSE(host::FileExists(folder_ + "photo.ico"));

    // An icon file dropped meanwhile is the choice: the conversion is not shown.
    const std::string icon = folder_ + "other.ico";
    ::PostMessageW(app::MainDialog, WM_APP, 0, reinterpret_cast<LPARAM>(&icon));
    droppedDuringConversion = false;
    app::ConvertIcon(folder_ + "small.bmp");
    EXPECT_TRUE(droppedDuringConversion);
    EXPECT_EQ(app::IconSource, icon);
    EXPECT_FALSE(host::FileExists(folder_ + "small.ico"));
    EXPECT_EQ(ShownIcon(), app::PreviewIcon.Get());
}

// The Windows form: a stand-in magick on the search path records its arguments, puts the file
// it is told to into the output and ends with the status it is told to.
TEST_F(IconConversion, WindowsFormCountsOnlyAWholeIconWithExitStatusZero) {
    ASSERT_EQ(Unix("cd " + wine::ShellQuote(unixFolder_) +
                   " && convert -size 32x32 xc:red -define "
                   "icon:auto-resize=16,24,32,48,64,72,96,128,256 ready.ico && head -c 3000 "
                   "ready.ico > half.ico && echo ok"),
              "ok\n");
    const std::string standIn = folder_ + "bin\\";
    ASSERT_TRUE(::CreateDirectoryW(host::Widen(standIn).c_str(), nullptr));
    WriteBytes(standIn + "magick.bat", "@echo %*> \"" + standIn +
                                           "magick-args.txt\"\r\n@copy /y \"" + folder_ +
                                           "%STANDIN_OUTPUT%\" out.ico >nul\r\n"
                                           "@exit /b %STANDIN_STATUS%\r\n");
    testing_support::ScopedVariable path(
        L"PATH",
        (host::Widen(standIn) + L";" + host::Widen(host::EnvironmentVariable("PATH"))).c_str());
    const std::string source = ImageNamed("big.png", "100%x% [2019] My cat.v2.png");
    const std::string target = folder_ + "100%x% [2019] My cat.v2.ico";
    WriteBytes(target, "older icon");
    app::IconSource = folder_ + "ready.ico";
    app::RefreshIconPreview();
    ASSERT_TRUE(ShownIcon());
    {
        // Half an icon, then a failure; half an icon and a status that claims success.
        testing_support::ScopedVariable output(L"STANDIN_OUTPUT", L"half.ico");
        for (const wchar_t* status : {L"1", L"0"}) {
            testing_support::ScopedVariable exitStatus(L"STANDIN_STATUS", status);
            SCOPED_TRACE(host::Narrow(status));
            const std::set<std::string> files = FilesIn(folder_);
            app::ConvertIcon(source, app::IconConverter::WindowsMagick);
            EXPECT_EQ(app::IconSource, folder_ + "ready.ico");
            EXPECT_EQ(ReadBytes(target), "older icon");
            EXPECT_EQ(FilesIn(folder_), files);
            EXPECT_EQ(ConversionLeftovers(), std::set<std::string>());
        }
    }
    testing_support::ScopedVariable output(L"STANDIN_OUTPUT", L"ready.ico");
    testing_support::ScopedVariable exitStatus(L"STANDIN_STATUS", L"0");
    app::ConvertIcon(source, app::IconConverter::WindowsMagick);
    std::string arguments = ReadBytes(standIn + "magick-args.txt");
    while (!arguments.empty() &&
           (arguments.back() == '\n' || arguments.back() == '\r' || arguments.back() == ' ')) {
        arguments.pop_back();
    }
    EXPECT_EQ("magick " + arguments, app::WindowsConvertCommand());
    EXPECT_EQ(app::IconSource, target);
    EXPECT_EQ(ReadBytes(target), ReadBytes(folder_ + "ready.ico"));
    EXPECT_EQ(ConversionLeftovers(), std::set<std::string>());

    // Without magick the user is told so, under the program's name.
    testing_support::ScopedVariable noMagick(L"PATH", L"C:\\windows\\system32");
    auto box = testing_support::CloseMessageBoxLater(host::Widen(host::ProgramName()),
                                                     ::GetCurrentProcessId());
    app::ConvertIcon(source, app::IconConverter::WindowsMagick);
    const testing_support::BoxSeen seen = box.get();
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(host::Narrow(seen.text), "Error: ImageMagick not installed on the system!");
    EXPECT_EQ(app::IconSource, target);
}

}  // namespace
