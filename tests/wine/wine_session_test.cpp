// The program in a Wine session other than the default one: a prefix elsewhere, whose path has a
// blank and a non-ASCII letter, with a drive of its own, and a Linux home outside /home. The same
// file names lie in the default prefix (this test's own, /home/USER/.wine), which must stay
// untouched. The session is made on the Unix side, with a home that has no ~/.local/share yet; a
// child of this program runs in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/icon_convert_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"
#include "wine/shell_quote.h"
#include "wine/unix_bridge_win.h"
#include "wine/wine_detect_win.h"
#include "wine/wine_home_win.h"

namespace {

using namespace std::chrono_literals;
using wine::ShellQuote;

// Run only inside the other session, by the next test: converts an image on C: and one on the
// session's own drive M:, then starts the real program, which registers itself as it starts.
TEST(OtherSessionChild, DISABLED_ConvertAndRegister) {
    for (const char* image : {"C:\\img\\cat.png", "M:\\cat.png"}) {
        app::ConvertIcon(image, app::IconConverter::UnixConvert);
    }
    testing_support::ChildProcess builder(L"C:\\Tools\\Lumora-builder.exe", L"C:\\Tools");
    const HWND dialog = testing_support::WaitForWindow(builder.Id(), L"Lumora-builder 1.6", 60s);
    ASSERT_TRUE(dialog);
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(builder.ExitCode(), 0u);
}

TEST(OtherSession, PrefixElsewhereAndHomeOutsideHome) {
    const wine::WineHome own = wine::CurrentWineHome();
    const std::string exe = wine::WineUnixFileName(host::ProgramPath()).value_or("");
    const std::string built = wine::WineUnixFileName(host::ProgramFolder()).value_or("");
    ASSERT_FALSE(exe.empty());
    const std::string base = "/tmp/lumora other session " + std::to_string(::GetCurrentProcessId());
    const std::string home = base + "/home dir";
    const std::string prefix = base +
                               "/pr\xc3\xa9"
                               "fix one";
    const std::string ownImages = own.unixPrefix + "/drive_c/img";
    const std::string ownEntry =
        own.unixHome + "/.local/share/applications/wine-lumora-builder.desktop";
    // The other session's own image files, and the same names in this test's prefix.
    const std::string script =
        "set -e\nbase=" + ShellQuote(base) + "\nexport HOME=" + ShellQuote(home) +
        " WINEPREFIX=" + ShellQuote(prefix) +
        "\nrm -rf \"$base\"\nmkdir -p \"$HOME\" \"$base/m drive\"\n"
        "wineboot -i >/dev/null 2>&1; wineserver -w\n"
        // wineboot leaves folders there: the home is made fresh again.
        "rm -rf \"$HOME/.local\"\n"
        "mkdir -p \"$WINEPREFIX/drive_c/img\" \"$WINEPREFIX/drive_c/Tools\" " +
        ShellQuote(ownImages) +
        "\nln -sfn \"$base/m drive\" \"$WINEPREFIX/dosdevices/m:\"\n"
        "convert -size 60x40 xc:red \"$WINEPREFIX/drive_c/img/cat.png\"\n"
        "convert -size 30x50 xc:blue \"$base/m drive/cat.png\"\n"
        "convert -size 20x20 xc:green " +
        ShellQuote(ownImages + "/cat.png") + "\nrm -f " + ShellQuote(ownImages + "/cat.ico") + " " +
        ShellQuote(ownEntry) + "\ncp " + ShellQuote(built + "/Lumora-builder.exe") + " " +
        ShellQuote(built + "/Lumora.exe") + " \"$WINEPREFIX/drive_c/Tools/\"\nset +e\nwine " +
        ShellQuote(exe) +
        " --gtest_also_run_disabled_tests "
        "--gtest_filter=OtherSessionChild.DISABLED_ConvertAndRegister"
        " >/dev/null 2>&1\nstatus=$?\nwineserver -k\nexit $status";
    const wine::UnixRunResult child = wine::RunUnix(script, 170s);
    ASSERT_TRUE(child.started);
    EXPECT_EQ(child.exitStatus, 0);

    const auto check = [](const std::string& test) {
        return wine::RunUnixCaptured(test + " && echo yes || echo no");
    };
    // The conversions landed in the running prefix and on its own drive.
    EXPECT_EQ(check("test -s " + ShellQuote(prefix + "/drive_c/img/cat.ico")), "yes\n");
    EXPECT_EQ(check("test -s " + ShellQuote(base + "/m drive/cat.ico")), "yes\n");
    // The program registered itself in the session's home, which had no ~/.local/share/applications
    // nor icons (Wine's own start makes a few other folders there): the entry carries the prefix
    // in its name.
    const std::string share = home + "/.local/share";
    EXPECT_EQ(check("ls " + ShellQuote(share + "/applications") +
                    " | grep -qx 'wine-lumora-builder-[0-9a-f]\\{8\\}\\.desktop'"),
              "yes\n");
    EXPECT_EQ(check("test -s " + ShellQuote(share + "/icons/lumora-builder.png") + " && test -s " +
                    ShellQuote(share + "/icons/hicolor/128x128/apps/lumora-builder.png")),
              "yes\n");
    // Nothing of it reached the default prefix or the home under /home.
    EXPECT_EQ(check("test ! -e " + ShellQuote(ownImages + "/cat.ico") + " && test ! -e " +
                    ShellQuote(ownEntry)),
              "yes\n");
    // The bridge's private files of the other session went once read.
    EXPECT_EQ(
        wine::RunUnixCaptured("find " + ShellQuote(prefix + "/drive_c") + " -name 'lumora-[0-9]*'"),
        "");
    wine::RunUnixCaptured("rm -rf " + ShellQuote(base) + " " + ShellQuote(ownImages));
}

// XDG_DATA_HOME names a folder that does not exist yet: the program, started with it, makes it
// private and puts its entry, its icon and its theme icons there, and nothing in ~/.local/share.
TEST(SessionDataHome, XdgDataHomeIsMadeAndTakesEverything) {
    const std::string base = "/tmp/lumora data home " + std::to_string(::GetCurrentProcessId());
    const std::string data = base + "/share";
    const std::string local = testing_support::HomeUnix() + ".local/share/";
    const std::string ownFiles = ShellQuote(local + "applications/wine-lumora-builder.desktop") +
                                 " " + ShellQuote(local + "icons/lumora-builder.png");
    wine::RunUnixCaptured("rm -rf " + ShellQuote(base) + " " + ownFiles);
    const testing_support::TempFolder folder;
    const std::wstring program = folder.Path() + L"Lumora-builder.exe";
    ASSERT_TRUE(::CopyFileW(testing_support::BuiltFile(L"Lumora-builder.exe").c_str(),
                            program.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(testing_support::BuiltFile(L"Lumora.exe").c_str(),
                            (folder.Path() + L"Lumora.exe").c_str(), FALSE));
    {
        const testing_support::ScopedVariable xdg(L"XDG_DATA_HOME", host::Widen(data).c_str());
        testing_support::ChildProcess builder(program, folder.Path());
        // The registration is done before the window shows.
        const HWND dialog = testing_support::WaitForWindow(builder.Id(), L"Lumora-builder 1.6");
        ASSERT_TRUE(dialog);
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(builder.ExitCode(), 0u);
    }
    const auto check = [](const std::string& test) {
        return wine::RunUnixCaptured(test + " && echo yes || echo no");
    };
    EXPECT_EQ(check("test -s " + ShellQuote(data + "/applications/wine-lumora-builder.desktop")),
              "yes\n");
    EXPECT_EQ(check("test -s " + ShellQuote(data + "/icons/lumora-builder.png")), "yes\n");
    EXPECT_EQ(check("test -s " + ShellQuote(data + "/icons/hicolor/48x48/apps/lumora-builder.png")),
              "yes\n");
    // Every level the program made is the user's alone.
    EXPECT_EQ(wine::RunUnixCaptured("stat -c %a " + ShellQuote(base) + " " + ShellQuote(data)),
              "700\n700\n");
    EXPECT_EQ(check("test ! -e " + ShellQuote(local + "applications/wine-lumora-builder.desktop") +
                    " && test ! -e " + ShellQuote(local + "icons/lumora-builder.png")),
              "yes\n");
    wine::RunUnixCaptured("rm -rf " + ShellQuote(base));
}

}  // namespace
