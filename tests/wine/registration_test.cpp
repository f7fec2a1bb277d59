// Registration at start-up and in silent mode: the hidden entry, gio's icon marks, an entry that
// cannot be written; the built program's window menu item and its menu entry started by gio.
#include "wine/registration_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "tests/wine/wine_test_support.h"
#include "wine/custom_icon.h"
#include "wine/desktop_entry.h"
#include "wine/desktop_entry_win.h"
#include "wine/drive_map_win.h"
#include "wine/registration_text.h"
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
using Registration = testing_support::RegistrationFixture;

// The value gio reports for the file's custom icon, polled: the marking is started, not awaited.
std::string CustomIconOf(const std::string& windowsPath) {
    const std::string query =
        "gio info -a metadata::custom-icon " + wine::ShellQuote(wine::ToUnixPath(windowsPath));
    const std::string key = "metadata::custom-icon: ";
    for (int attempt = 0; attempt < 40; ++attempt) {
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

    // An empty entry, as an interrupted write once left, registers nothing: it is written anew.
    ASSERT_TRUE(testing_support::WriteBytes(OwnEntry(), ""));
    wine::RegisterLinuxApp(false, false, "");
    EXPECT_EQ(ReadBytes(OwnEntry()), entry);

    // In the menu: even the interactive mode neither asks nor rewrites the entry.
    const std::string menuEntry = "[Desktop Entry]\nExec=wine kept.exe\n";
    ASSERT_TRUE(testing_support::WriteBytes(OwnEntry(), menuEntry));
    {
        BoxAnswerer answerer({});
        wine::RegisterLinuxApp(true, true, "");
        EXPECT_TRUE(answerer.Finish().empty()) << "a registered program was asked again";
    }
    EXPECT_EQ(ReadBytes(OwnEntry()), menuEntry);
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

TEST_F(Registration, GioReceivesNamesWithApostrophesAndShellSyntaxIntact) {
    TempFolder folder;
    const std::string dir = host::Narrow(folder.Path());
    const std::string file = dir + "Pat O'Brien $(echo x) `id`.exe";
    const std::string icon = dir + "O'Brien's #1 100%41 icon.png";
    ASSERT_TRUE(testing_support::WriteBytes(host::Widen(file), "exe"));
    ASSERT_TRUE(testing_support::WriteBytes(host::Widen(icon), "the icon"));
    // The name an unencoded URI would lead to instead.
    ASSERT_TRUE(
        testing_support::WriteBytes(host::Widen(dir + "O'Brien's #1 100A icon.png"), "decoy"));
    wine::SetCustomIcon(file, icon);
    const std::string uri = CustomIconOf(file);
    ASSERT_FALSE(uri.empty());
    // What a file manager opens for the mark: the icon itself.
    EXPECT_EQ(wine::RunUnixCaptured("gio cat " + wine::ShellQuote(uri) + " 2>&1"), "the icon");
}

TEST_F(Registration, CreateDesktopEntryReportsAnEntryThatCannotBeWritten) {
    // A folder in the entry's place: the file cannot be created.
    ASSERT_TRUE(testing_support::MakeFolder(host::Widen(OwnEntry())));
    EXPECT_EQ(wine::CreateDesktopEntry(host::ProgramPath(), false, ""), 0);
    RemovePath(OwnEntry());
    EXPECT_EQ(wine::CreateDesktopEntry(host::ProgramPath(), false, ""), 1);
    EXPECT_EQ(Lines(ReadBytes(OwnEntry())).size(), 8u);
}

HWND VisibleMenu() {
    HWND menu = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr);
    return menu && ::IsWindowVisible(menu) ? menu : nullptr;
}

// A real Alt+Space on the X display, to the window with the caption, then the key for the item.
bool ChooseFromWindowMenu(const std::string& caption, const std::string& key) {
    wine::RunUnixCaptured("xdotool search --name " + wine::ShellQuote("^" + caption + "$") +
                          " windowactivate --sync key alt+space; echo done");
    for (int i = 0; i < 200 && !VisibleMenu(); ++i) ::Sleep(50);
    if (!VisibleMenu()) return false;
    wine::RunUnixCaptured("xdotool key " + key + "; echo done");
    for (int i = 0; i < 200 && VisibleMenu(); ++i) ::Sleep(50);
    return !VisibleMenu();
}

// Presses the button of the next message box of the process; its text, empty when none came.
std::wstring AnswerBox(DWORD processId, int button) {
    HWND box = testing_support::WaitForWindow(processId, L"Lumora-builder");
    if (!box) return {};
    const std::wstring text = testing_support::MessageBoxText(box);
    ::PostMessageW(box, WM_COMMAND, button, 0);
    for (int i = 0; i < 200 && ::IsWindow(box); ++i) ::Sleep(25);
    return text;
}

// The file's text once it holds the piece, polled: the program writes it while the test waits.
std::string TextOnceItHolds(const std::string& path, const std::string& piece) {
    std::string text;
    for (int i = 0; i < 80 && (text = ReadBytes(path)).find(piece) == std::string::npos; ++i)
        ::Sleep(250);
    return text;
}

FILETIME FolderTime(const std::string& folder, const FILETIME* set = nullptr) {
    FILETIME time{};
    const host::UniqueFile handle(
        ::CreateFileW(host::Widen(folder).c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (set) ::SetFileTime(handle.Get(), nullptr, nullptr, set);
    ::GetFileTime(handle.Get(), nullptr, nullptr, &time);
    return time;
}

// The real program, started from a folder of its own: its start-up registers it silently once
// its dialog is visible, with its own icon exported for the entry and the icon theme. Its window
// menu then puts it into the applications menu, whose entry really starts it, and takes it out.
TEST(RegistrationAtStartup, BuilderRegistersItselfAndJoinsTheMenuOnRequest) {
    const std::string entry =
        HomeWindows() + ".local\\share\\applications\\wine-lumora-builder.desktop";
    const std::string icons = HomeWindows() + ".local\\share\\icons\\";
    const std::string theme = icons + "hicolor\\";
    auto themeIcon = [&](int size) {
        const std::string n = std::to_string(size);
        return theme + n + "x" + n + "\\apps\\lumora-builder.png";
    };
    const int sizes[] = {16, 32, 48, 128};
    for (const std::string& path :
         {entry, icons + "lumora-builder.ico", icons + "lumora-builder.png"})
        RemovePath(path);
    // The theme's folders exist already: only a renewed time stamp tells desktops of new icons.
    testing_support::MakeFolder(host::Widen(theme));
    for (const int size : sizes) {
        RemovePath(themeIcon(size));
        const std::string n = std::to_string(size);
        testing_support::MakeFolder(host::Widen(theme + n + "x" + n));
        testing_support::MakeFolder(host::Widen(theme + n + "x" + n + "\\apps"));
    }
    const FILETIME longAgo{0, 0x01C0F000};  // in 2001
    FolderTime(theme, &longAgo);

    TempFolder folder;
    const std::wstring program = folder.Path() + L"Lumora-builder.exe";
    ASSERT_TRUE(::CopyFileW(BuiltFile(L"Lumora-builder.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(BuiltFile(L"Lumora.exe").c_str(),
                            (folder.Path() + L"Lumora.exe").c_str(), FALSE));
    const testing_support::ChildProcess child(program, folder.Path());
    ASSERT_TRUE(child.Started());
    HWND dialog = testing_support::WaitForWindow(child.Id(), L"Lumora-builder 1.6");
    ASSERT_NE(dialog, nullptr);

    const std::vector<std::string> lines = Lines(TextOnceItHolds(entry, "Icon="));
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
    for (const int size : sizes) {
        SCOPED_TRACE(size);
        const std::string themed = ReadBytes(themeIcon(size));
        ASSERT_GE(themed.size(), 24u);
        EXPECT_EQ(Be32(themed, 0), 0x89504E47u);
        EXPECT_EQ(Be32(themed, 16), static_cast<uint32_t>(size));
        EXPECT_EQ(Be32(themed, 20), static_cast<uint32_t>(size));
    }
    const FILETIME renewed = FolderTime(theme);
    EXPECT_GT(::CompareFileTime(&renewed, &longAgo), 0);
    // File managers show the program and its entry with the exported icon.
    const std::string pngUri = wine::FileUri(wine::ToUnixPath(icons + "lumora-builder.png"));
    EXPECT_EQ(CustomIconOf(host::Narrow(program)), pngUri);
    EXPECT_EQ(CustomIconOf(entry), pngUri);

    // The hidden entry does not count: the item asks, and the answer No keeps the program here.
    ASSERT_TRUE(ChooseFromWindowMenu("Lumora-builder 1.6", "l"));
    EXPECT_EQ(AnswerBox(child.Id(), IDYES), host::Widen(wine::RegisterQuestionText()));
    EXPECT_NE(AnswerBox(child.Id(), IDNO), L"");
    const std::string shown = TextOnceItHolds(entry, "Exec=");
    EXPECT_EQ(wine::DesktopEntryKind(shown), wine::EntryKind::Shown);
    EXPECT_EQ(
        wine::RunUnixCaptured("desktop-file-validate " + wine::ShellQuote(wine::ToUnixPath(entry)) +
                              " >/dev/null 2>&1; echo rc=$?"),
        "rc=0\n");

    // The menu entry starts the program in this prefix.
    wine::RunUnixCaptured("gio launch " + wine::ShellQuote(wine::ToUnixPath(entry)) +
                          " >/dev/null 2>&1; echo done");
    // Another window of the same caption: the dialog of the started program.
    auto launchedWindow = [dialog] {
        HWND window = nullptr;
        while ((window = ::FindWindowExW(nullptr, window, nullptr, L"Lumora-builder 1.6")))
            if (window != dialog && ::IsWindowVisible(window)) return window;
        return window;
    };
    HWND launched = nullptr;
    for (int i = 0; i < 120 && !(launched = launchedWindow()); ++i) ::Sleep(250);
    ASSERT_NE(launched, nullptr) << "gio launch did not start the program";
    ::PostMessageW(launched, WM_CLOSE, 0, 0);
    for (int i = 0; i < 80 && ::IsWindow(launched); ++i) ::Sleep(250);

    // Now the item takes the program out of the menu, leaving the hidden entry for its icon.
    ASSERT_TRUE(ChooseFromWindowMenu("Lumora-builder 1.6", "l"));
    EXPECT_EQ(wine::DesktopEntryKind(TextOnceItHolds(entry, "NoDisplay=true")),
              wine::EntryKind::Hidden);

    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(child.ExitCode(), 0u);
    RemovePath(entry);
}

}  // namespace
