// The program in a Wine session other than the default one: a prefix elsewhere, whose path has a
// blank and a non-ASCII letter, with a drive of its own, and a Linux home outside /home. The same
// file names lie in the default prefix (this test's own, /home/USER/.wine), which must stay
// untouched. The session is made on the Unix side; a child of this program runs in it.
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
        "\nrm -rf \"$base\"\nmkdir -p \"$HOME/.local/share/applications\" "
        "\"$HOME/.local/share/icons\" \"$base/m drive\"\n"
        "wineboot -i >/dev/null 2>&1; wineserver -w\n"
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
    // The program registered itself in the session's home.
    EXPECT_EQ(check("test -s " + ShellQuote(home + "/.local/share/applications/"
                                                   "wine-lumora-builder.desktop")),
              "yes\n");
    EXPECT_EQ(check("test -n \"$(find " + ShellQuote(home + "/.local/share/icons") +
                    " -name 'lumora-builder*')\""),
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

}  // namespace
