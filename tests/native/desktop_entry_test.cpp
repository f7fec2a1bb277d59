#include "wine/desktop_entry.h"
#include "wine/wine_home.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <fstream>
#include <string>
#include <vector>

namespace {

// What the desktop does with an Exec line: the key file's string unescaping, then shell-style
// word splitting. Answers the words, or nothing when GLib refuses the line.
std::vector<std::string> DesktopArgv(const std::string& entryText) {
    GKeyFile* keyFile = g_key_file_new();
    std::vector<std::string> words;
    if (g_key_file_load_from_data(keyFile, entryText.data(), entryText.size(), G_KEY_FILE_NONE,
                                  nullptr)) {
        gchar* exec = g_key_file_get_string(keyFile, "Desktop Entry", "Exec", nullptr);
        gchar** argv = nullptr;
        if (exec && g_shell_parse_argv(exec, nullptr, &argv, nullptr)) {
            for (gchar** word = argv; *word; ++word) words.emplace_back(*word);
            g_strfreev(argv);
        }
        g_free(exec);
    }
    g_key_file_free(keyFile);
    return words;
}

std::string ShownEntry(const std::string& target,
                       const std::string& prefix = wine::WineHomeOf("jane").unixPrefix) {
    return wine::DesktopEntryText({target, prefix, "lumora-builder", true});
}

// The launcher then turns the field code %% into one %.
std::string Unpercented(const std::string& word) {
    std::string out;
    for (size_t i = 0; i < word.size(); ++i) {
        out += word[i];
        if (word[i] == '%' && i + 1 < word.size() && word[i + 1] == '%') ++i;
    }
    return out;
}

TEST(ExecEscape, KeepsTheClassicFormForPlainPaths) {
    EXPECT_EQ(wine::ExecEscape("C:\\Apps\\x.exe"), "C:\\\\\\\\Apps\\\\\\\\x.exe");
    EXPECT_EQ(wine::ExecEscape("C:\\My Tools\\a.exe"), "C:\\\\\\\\My\\\\ Tools\\\\\\\\a.exe");
}

TEST(ExecEscape, DesktopParsesEveryPathBackExactly) {
    const std::vector<std::string> targets = {
        "C:\\Apps\\x.exe",
        "C:\\My Tools\\a.exe",
        "C:\\Program Files (x86)\\Lumora\\Lumora-builder.exe",
        "D:\\a$HOME\\b`id`.exe",
        "C:\\100% sure\\it's.exe",
        "C:\\x\"y\\&;|<>~*?#.exe",
        "Z:\\home\\jane\\Fotos Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f\\tool.exe",
        "C:\\back\\\\slash\\%%u.exe",
    };
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        const std::vector<std::string> argv = DesktopArgv(ShownEntry(target));
        ASSERT_EQ(argv.size(), 4u);
        EXPECT_EQ(argv[0], "env");
        EXPECT_EQ(argv[1], "WINEPREFIX=/home/jane/.wine");
        EXPECT_EQ(argv[2], "wine");
        EXPECT_EQ(Unpercented(argv[3]), target);
    }
}

TEST(ExecEscape, DesktopParsesEveryPrefixBackExactly) {
    const std::vector<std::string> prefixes = {
        "/home/jane/.wine",
        "/srv/wine prefixes/pr\xc3\xa9"
        "fix one",
        "/tmp/a \"b\" $HOME 100% `id` back\\slash 'q'",
        "/tmp/%%u %f $(x) \\$ line\nbreak\ttab",
    };
    for (const std::string& prefix : prefixes) {
        SCOPED_TRACE(prefix);
        const std::vector<std::string> argv =
            DesktopArgv(ShownEntry("C:\\My Tools\\a.exe", prefix));
        ASSERT_EQ(argv.size(), 4u);
        EXPECT_EQ(argv[0], "env");
        EXPECT_EQ(Unpercented(argv[1]), "WINEPREFIX=" + prefix);
        EXPECT_EQ(argv[2], "wine");
        EXPECT_EQ(argv[3], "C:\\My Tools\\a.exe");
    }
}

TEST(DesktopEntry, FileNameCarriesThePrefixUnlessItIsTheDefault) {
    const wine::WineHome standard = wine::WineHomeOf("jane");
    EXPECT_EQ(wine::DesktopEntryFileName("lumora-builder", standard),
              "wine-lumora-builder.desktop");
    // The same home through the session's variables is still the default prefix.
    EXPECT_EQ(wine::DesktopEntryFileName("x", wine::SessionWineHome("\\??\\Z:\\home\\jane", "",
                                                                    "/home/jane/.wine/", "jane")),
              "wine-x.desktop");
    const std::string other = wine::DesktopEntryFileName(
        "lumora-builder", wine::SessionWineHome("", "", "/srv/games prefix", "jane"));
    const std::string third = wine::DesktopEntryFileName(
        "lumora-builder", wine::SessionWineHome("", "", "/srv/games prefix2", "jane"));
    ASSERT_EQ(other.size(), std::string("wine-lumora-builder-12345678.desktop").size());
    EXPECT_EQ(other.rfind("wine-lumora-builder-", 0), 0u);
    EXPECT_EQ(other.find_first_not_of("0123456789abcdef", 20), other.size() - 8);
    EXPECT_NE(other, third);
    // Stable: the next start finds the same entry.
    EXPECT_EQ(other,
              wine::DesktopEntryFileName(
                  "lumora-builder", wine::SessionWineHome("", "", "/srv/games prefix/", "bob")));
}

TEST(DesktopEntry, HiddenEntryHasEightLfLinesInOrder) {
    const std::string text = wine::DesktopEntryText(
        {"C:\\Tools\\My Tool.exe", wine::WineHomeOf("jane").unixPrefix, "mytool", false});
    EXPECT_EQ(text,
              "[Desktop Entry]\nName=My Tool\nStartupWMClass=my tool.exe\nNoDisplay=true\n"
              "Type=Application\nTerminal=false\nStartupNotify=true\nIcon=mytool\n");
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST(DesktopEntry, ShownEntryHasTheExecLineInsteadOfNoDisplay) {
    const std::string text = ShownEntry("C:\\Apps\\x.exe");
    EXPECT_NE(text.find("\nExec=env WINEPREFIX=\"/home/jane/.wine\" wine "
                        "C:\\\\\\\\Apps\\\\\\\\x.exe\nType=Application\n"),
              std::string::npos);
    EXPECT_EQ(text.find("NoDisplay"), std::string::npos);
}

TEST(DesktopEntry, KindTellsAMenuEntryFromAHiddenOneOrNone) {
    using wine::EntryKind;
    EXPECT_EQ(wine::DesktopEntryKind(ShownEntry("C:\\Apps\\x.exe")), EntryKind::Shown);
    EXPECT_EQ(wine::DesktopEntryKind(
                  wine::DesktopEntryText({"C:\\Apps\\x.exe", "/home/jane/.wine", "x", false})),
              EntryKind::Hidden);
    // An entry cut short by an interrupted write, or another program's file, registers nothing.
    EXPECT_EQ(wine::DesktopEntryKind(""), EntryKind::None);
    EXPECT_EQ(wine::DesktopEntryKind("[Other]\nExec=x\n"), EntryKind::None);
    // Written by hand or by an older version: CR LF lines, comments, a hiding key.
    EXPECT_EQ(wine::DesktopEntryKind("# made by hand\r\n[Desktop Entry]\r\nExec=wine x\r\n"),
              EntryKind::Shown);
    EXPECT_EQ(wine::DesktopEntryKind("[Desktop Entry]\nExec=wine x\nHidden=true\n"),
              EntryKind::Hidden);
    EXPECT_EQ(wine::DesktopEntryKind("[Desktop Entry]\n[Desktop Action a]\nExec=wine x\n"),
              EntryKind::Hidden);
}

TEST(DesktopEntry, ValidatorAcceptsHiddenAndShownEntries) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "desktop-file-validate is not installed";
    }
    const std::vector<std::string> texts = {
        wine::DesktopEntryText(
            {"C:\\Tools\\My Tool.exe", wine::WineHomeOf("jane").unixPrefix, "mytool", false}),
        ShownEntry("C:\\Program Files (x86)\\Lumora\\it's 100%.exe"),
        ShownEntry("C:\\Apps\\Lumora-builder.exe"),
        ShownEntry("C:\\Apps\\Lumora-builder.exe", "/tmp/a \"b\" $HOME 100% `id` back\\slash"),
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        char path[] = "/tmp/lumora-entry-XXXXXX.desktop";
        const int fd = mkstemps(path, 8);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(fd);
        const std::string command =
            std::string("desktop-file-validate ") + path + " > " + path + ".out 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream out(std::string(path) + ".out");
        const std::string messages((std::istreambuf_iterator<char>(out)), {});
        EXPECT_EQ(status, 0) << messages;
        EXPECT_EQ(messages.find("error"), std::string::npos) << messages;
        std::remove(path);
        std::remove((std::string(path) + ".out").c_str());
    }
}

}  // namespace
