// Registration at start-up and in silent mode: the hidden entry, gio's icon marks, an entry that
// cannot be written.
#include "wine/registration_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"
#include "wine/desktop_entry_win.h"
#include "wine/drive_map_win.h"
#include "wine/shell_quote.h"
#include "wine/unix_bridge_win.h"

namespace {

using testing_support::Be32;
using testing_support::BoxAnswerer;
using testing_support::BuiltFile;
using testing_support::HomeWindows;
using testing_support::Lines;
using testing_support::OwnEntry;
using testing_support::ReadBytes;
using testing_support::RemovePath;
using testing_support::TempFolder;
using testing_support::UserName;
using Registration = testing_support::RegistrationFixture;

// The value gio reports for the file's custom icon, polled: the marking is started, not awaited.
std::string CustomIconOf(const std::string& windowsPath) {
    const std::string query =
        "gio info -a metadata::custom-icon " + wine::ShellQuote(wine::ToUnixPath(windowsPath));
    const std::string key = "metadata::custom-icon: ";
    for (int attempt = 0; attempt < 12; ++attempt) {
        const std::string output = wine::RunUnixCaptured(query);
        if (const size_t at = output.find(key); at != std::string::npos) {
            const size_t start = at + key.size();
            return output.substr(start, output.find('\n', start) - start);
        }
        ::Sleep(250);
    }
    return {};
}

TEST_F(Registration, SilentFirstStartWritesAHiddenEntryOnceAndNeverAsks) {
    {
        BoxAnswerer answerer({});
        wine::RegisterLinuxApp(false, false, "");
        EXPECT_TRUE(answerer.Finish().empty()) << "silent mode showed a message box";
    }
    const std::string entry = ReadBytes(OwnEntry());
    EXPECT_EQ(entry.find('\r'), std::string::npos);
    const std::vector<std::string> expected = {
        "[Desktop Entry]",
        "Name=lumora_wine_tests",
        "StartupWMClass=lumora_wine_tests.exe",
        "NoDisplay=true",
        "Type=Application",
        "Terminal=false",
        "StartupNotify=true",
        // This test program has no icon resource: the name is still the one the icon export
        // uses, so an icon put there later is found.
        "Icon=lumora_wine_tests",
    };
    EXPECT_EQ(Lines(entry), expected);
    EXPECT_EQ(entry.back(), '\n');
    // The desktop's own validator accepts it where it lies.
    EXPECT_EQ(wine::RunUnixCaptured("desktop-file-validate " +
                                    wine::ShellQuote(wine::ToUnixPath(OwnEntry())) +
                                    " >/dev/null 2>&1; echo rc=$?"),
              "rc=0\n");

    // Registered: even the interactive mode neither asks nor rewrites the entry.
    ASSERT_TRUE(testing_support::WriteBytes(OwnEntry(), "kept"));
    {
        BoxAnswerer answerer({});
        wine::RegisterLinuxApp(true, true, "");
        EXPECT_TRUE(answerer.Finish().empty()) << "a registered program was asked again";
    }
    EXPECT_EQ(ReadBytes(OwnEntry()), "kept");
}

TEST_F(Registration, AlternativeNameNamesTheEntry) {
    const std::string entry = HomeWindows() + ".local\\share\\applications\\wine-mytool.desktop";
    RemovePath(entry);
    wine::RegisterLinuxApp(false, false, "C:\\Other\\My Tool.exe");
    EXPECT_FALSE(host::FileExists(OwnEntry()));
    const std::vector<std::string> lines = Lines(ReadBytes(entry));
    ASSERT_EQ(lines.size(), 8u);
    // The entry still describes this program; only its file name follows the alternative name.
    EXPECT_EQ(lines[1], "Name=lumora_wine_tests");
    RemovePath(entry);
}

TEST_F(Registration, UnixSideSharesTheSessionBus) {
    const std::string address = host::EnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    ASSERT_FALSE(address.empty()) << "the tests are expected to run inside a D-Bus session";
    EXPECT_EQ(wine::RunUnixCaptured("printf %s \"$DBUS_SESSION_BUS_ADDRESS\""), address);
}

TEST_F(Registration, GioMarksTheProgramAndTheEntryWithTheIcon) {
    wine::RegisterLinuxApp(false, false, "");
    ASSERT_TRUE(host::FileExists(OwnEntry()));
    const std::string iconPrefix =
        "file:///home/" + UserName() + "/.local/share/icons/lumora_wine_tests.";
    EXPECT_EQ(CustomIconOf(host::ProgramPath()).rfind(iconPrefix, 0), 0u);
    EXPECT_EQ(CustomIconOf(OwnEntry()).rfind(iconPrefix, 0), 0u);
}

TEST_F(Registration, GioReceivesNamesWithApostrophesAndShellSyntaxIntact) {
    TempFolder folder;
    const std::string dir = host::Narrow(folder.Path());
    const std::string file = dir + "Pat O'Brien $(echo x) `id`.exe";
    const std::string icon = dir + "O'Brien's icon.png";
    ASSERT_TRUE(testing_support::WriteBytes(host::Widen(file), "exe"));
    ASSERT_TRUE(testing_support::WriteBytes(host::Widen(icon), "png"));
    wine::SetCustomIcon(file, icon);
    EXPECT_EQ(CustomIconOf(file), "file://" + wine::ToUnixPath(icon));
}

TEST_F(Registration, CreateDesktopEntryReportsAnEntryThatCannotBeWritten) {
    // A folder in the entry's place: the file cannot be created.
    ASSERT_TRUE(testing_support::MakeFolder(host::Widen(OwnEntry())));
    EXPECT_EQ(wine::CreateDesktopEntry(host::ProgramPath(), false, ""), 0);
    RemovePath(OwnEntry());
    EXPECT_EQ(wine::CreateDesktopEntry(host::ProgramPath(), false, ""), 1);
    EXPECT_EQ(Lines(ReadBytes(OwnEntry())).size(), 8u);
}

// The real program, started from a folder of its own: its start-up registers it silently before
// its dialog appears, with its own icon exported for the entry.
TEST(RegistrationAtStartup, BuilderRegistersItselfSilentlyWithItsIcon) {
    const std::string entry =
        HomeWindows() + ".local\\share\\applications\\wine-lumora-builder.desktop";
    const std::string icons = HomeWindows() + ".local\\share\\icons\\";
    for (const std::string& path :
         {entry, icons + "lumora-builder.ico", icons + "lumora-builder.png"})
        RemovePath(path);
    TempFolder folder;
    const std::wstring program = folder.Path() + L"Lumora-builder.exe";
    ASSERT_TRUE(::CopyFileW(BuiltFile(L"Lumora-builder.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(BuiltFile(L"Lumora.exe").c_str(),
                            (folder.Path() + L"Lumora.exe").c_str(), FALSE));
    const testing_support::ChildProcess child(program, folder.Path());
    ASSERT_TRUE(child.Started());
    HWND dialog = testing_support::WaitForWindow(child.Id(), L"Lumora-builder 1.6");
    EXPECT_NE(dialog, nullptr);
    // A message box would have held the start-up: the dialog appearing shows none came first.
    const std::string text = ReadBytes(entry);
    if (dialog) ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(child.ExitCode(), 0u);

    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[2], "StartupWMClass=lumora-builder.exe");
    EXPECT_EQ(lines[3], "NoDisplay=true");
    EXPECT_EQ(lines[7], "Icon=lumora-builder");
    EXPECT_TRUE(host::FileExists(icons + "lumora-builder.ico"));
    const std::string png = ReadBytes(icons + "lumora-builder.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(Be32(png, 0), 0x89504E47u);
    EXPECT_EQ(Be32(png, 16), 128u);  // IHDR width
    EXPECT_EQ(Be32(png, 20), 128u);  // IHDR height
    RemovePath(entry);
}

}  // namespace
