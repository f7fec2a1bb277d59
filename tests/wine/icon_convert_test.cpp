#include "app/icon_convert_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/dialog_ids.h"
#include "app/icon_preview_win.h"
#include "app/state_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "wine/shell_quote.h"
#include "tests/wine/wine_test_support.h"
#include "wine/unix_bridge_win.h"

namespace {

const std::vector<int> kNineSizes = {16, 24, 32, 48, 64, 72, 96, 128, 256};

std::string ReadBytes(const std::string& path) {
    std::ifstream in(host::Widen(path).c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(host::Widen(path).c_str(), std::ios::binary) << bytes;
}

// The square sizes listed in an ICO directory (a width byte of 0 means 256); empty when the
// bytes are no icon file.
std::vector<int> IconSizes(const std::string& ico) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(ico[i]); };
    if (ico.size() < 6 || byte(0) || byte(1) || byte(2) != 1 || byte(3)) return {};
    const size_t count = byte(4) | byte(5) << 8;
    if (ico.size() < 6 + 16 * count) return {};
    std::vector<int> sizes;
    for (size_t i = 0; i < count; ++i) {
        const int width = byte(6 + 16 * i) ? byte(6 + 16 * i) : 256;
        const int height = byte(7 + 16 * i) ? byte(7 + 16 * i) : 256;
        sizes.push_back(width == height ? width : -1);
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

HICON ShownIcon() {
    return reinterpret_cast<HICON>(
        ::SendDlgItemMessageW(app::MainDialog, app::kIconPictureId, STM_GETIMAGE, IMAGE_ICON, 0));
}

// While a conversion waits, a posted WM_APP plays a user who picks another image meanwhile.
bool choseDuringConversion = false;
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        choseDuringConversion = true;
        app::IconSource = *reinterpret_cast<const std::string*>(lParam);
        app::ConvertIcon();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A window holding the picture control the conversion shows its result in, and a folder of
// images made by the real ImageMagick on the Unix side.
class IconConversion : public ::testing::Test {
protected:
    void SetUp() override {
        user_ = host::EnvironmentVariable("USERNAME");
        ASSERT_FALSE(user_.empty());
        unixFolder_ = "/home/" + user_ + "/icon test";
        folder_ = "Z:\\home\\" + user_ + "\\icon test\\";
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

    void ExpectConverted(const std::string& source, const std::string& target) {
        SCOPED_TRACE(source);
        const std::string sourceBytes = ReadBytes(source);
        app::IconSource = source;
        app::ConvertIcon();
        EXPECT_EQ(app::IconSource, target);
        EXPECT_EQ(IconSizes(ReadBytes(target)), kNineSizes);
        EXPECT_FALSE(host::FileExists(target + ".tmp.ico"));
        EXPECT_EQ(ReadBytes(source), sourceBytes);
        EXPECT_TRUE(app::PreviewIcon);
        EXPECT_EQ(ShownIcon(), app::PreviewIcon.Get());
    }

    std::string user_;
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

TEST_F(IconConversion, FileNamesAreNeverRunAsCommands) {
    ExpectConverted(ImageNamed("big.png", "a$(touch PWNED)b.png"),
                    folder_ + "a$(touch PWNED)b.ico");
    ExpectConverted(ImageNamed("big.png", "x`touch PWNED`y;touch PWNED.png"),
                    folder_ + "x`touch PWNED`y;touch PWNED.ico");
    // The shell would have run it in its own directory, the home or the image folder.
    EXPECT_EQ(wine::RunUnixCaptured("ls PWNED ~/PWNED " + wine::ShellQuote(unixFolder_) +
                                    "/PWNED 2>&1 | grep -c 'No such file'"),
              "3\n");
}

TEST_F(IconConversion, ReplacesAnOlderIconOfTheSameName) {
    WriteBytes(folder_ + "big.ico", "older icon");
    ExpectConverted(folder_ + "big.png", folder_ + "big.ico");
}

TEST_F(IconConversion, FailedConversionKeepsTheOldIconAndShowsNothing) {
    // A valid older icon, shown in the picture before the attempt.
    ExpectConverted(folder_ + "big.png", folder_ + "big.ico");
    const std::string older = ReadBytes(folder_ + "big.ico");
    WriteBytes(folder_ + "notanimage.png", "just some text, no picture");
    ASSERT_TRUE(::CopyFileW(host::Widen(folder_ + "big.ico").c_str(),
                            host::Widen(folder_ + "notanimage.ico").c_str(), FALSE));
    app::IconSource = folder_ + "notanimage.ico";
    app::RefreshIconPreview();
    ASSERT_TRUE(ShownIcon());

    app::IconSource = folder_ + "notanimage.png";
    app::ConvertIcon();
    EXPECT_EQ(app::IconSource, folder_ + "notanimage.ico");
    EXPECT_EQ(ReadBytes(folder_ + "notanimage.ico"), older);
    EXPECT_FALSE(host::FileExists(folder_ + "notanimage.ico.tmp.ico"));
    EXPECT_FALSE(app::PreviewIcon);
    EXPECT_EQ(ShownIcon(), nullptr);
}

TEST_F(IconConversion, RefusesAFileNameWithoutADot) {
    // The folder's dot must not name the target "icon test\v1.ico".
    ASSERT_TRUE(::CreateDirectoryW(host::Widen(folder_ + "v1.2").c_str(), nullptr));
    const std::string source = ImageNamed("big.png", "v1.2\\photo");
    WriteBytes(folder_ + "v1.ico", "unrelated");
    app::IconSource = source;
    app::ConvertIcon();
    EXPECT_EQ(app::IconSource, source);
    EXPECT_EQ(ReadBytes(folder_ + "v1.ico"), "unrelated");
    EXPECT_FALSE(host::FileExists(folder_ + "v1.2\\photo.ico"));
    EXPECT_FALSE(host::FileExists(folder_ + "v1.2\\ico"));
}

TEST_F(IconConversion, ASecondChoiceDuringTheConversionStands) {
    const std::string other = ImageNamed("big.png", "other.png");
    ::PostMessageW(app::MainDialog, WM_APP, 0, reinterpret_cast<LPARAM>(&other));
    choseDuringConversion = false;
    app::IconSource = folder_ + "photo.jpg";
    app::ConvertIcon();
    ASSERT_TRUE(choseDuringConversion);
    // The nested conversion was refused, the first one finished but left the new choice alone.
    EXPECT_EQ(app::IconSource, other);
    EXPECT_EQ(IconSizes(ReadBytes(folder_ + "photo.ico")), kNineSizes);
    EXPECT_FALSE(host::FileExists(folder_ + "other.ico"));
}

// The Windows form: a stand-in magick on the search path records the command line that reached
// it and writes a finished icon where it was asked to.
TEST_F(IconConversion, WindowsFormHandsMagickTheFixedCommandLine) {
    ASSERT_EQ(wine::RunUnixCaptured("cd " + wine::ShellQuote(unixFolder_) +
                                    " && convert -size 32x32 xc:red ready.ico && echo ok"),
              "ok\n");
    const std::string source = ImageNamed("big.png", "My cat.v2.png");
    const std::string target = folder_ + "My cat.v2.ico";
    const std::string temp = target + ".tmp.ico";
    // (% in names is covered by the runner's tests: Wine's cmd expands % signs again inside
    // the %* of a stand-in batch, which Windows does not.)
    const std::string& tempForCmd = temp;
    WriteBytes(folder_ + "magick.bat", "@echo %*> \"" + folder_ +
                                           "magick-args.txt\"\r\n@copy /y \"" + folder_ +
                                           "ready.ico\" \"" + tempForCmd + "\" >nul\r\n");
    {
        const testing_support::ScopedVariable searchPath(
            L"PATH", host::Widen(folder_ + ";" + host::EnvironmentVariable("PATH")).c_str());
        app::IconSource = source;
        app::ConvertIcon(app::IconConverter::WindowsMagick);
    }

    std::string arguments = ReadBytes(folder_ + "magick-args.txt");
    while (!arguments.empty() &&
           (arguments.back() == '\n' || arguments.back() == '\r' || arguments.back() == ' ')) {
        arguments.pop_back();
    }
    EXPECT_EQ(arguments, "convert \"" + source +
                             "\" -define png:color-type=6 -define "
                             "icon:auto-resize=16,24,32,48,64,72,96,128,256 \"" +
                             temp + "\"");
    EXPECT_EQ(app::IconSource, target);
    EXPECT_TRUE(ReadBytes(target) == ReadBytes(folder_ + "ready.ico"));
    EXPECT_FALSE(host::FileExists(temp));
    EXPECT_TRUE(app::PreviewIcon);
}

}  // namespace
