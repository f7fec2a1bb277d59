#include "wine/custom_icon.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The words a real /bin/sh hands to the program of the command line: the command runs with
// printf in place of /bin/gio, one word per NUL-terminated record.
std::vector<std::string> WordsThroughShell(const std::string& command) {
    const std::string program = "/bin/gio ";
    if (command.compare(0, program.size(), program) != 0) return {};
    const std::string probe = "printf '%s\\0' " + command.substr(program.size());
    FILE* pipe = ::popen(probe.c_str(), "r");
    if (!pipe) return {};
    std::string bytes;
    char buffer[256];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) bytes.append(buffer, n);
    ::pclose(pipe);
    std::vector<std::string> words;
    for (size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos;
         start = end + 1)
        words.push_back(bytes.substr(start, end - start));
    return words;
}

TEST(GioCustomIconCommand, ExactCommandLine) {
    EXPECT_EQ(wine::GioCustomIconCommand("/home/u/.wine/drive_c/Apps/x.exe",
                                         "/home/u/.local/share/icons/x.png"),
              "/bin/gio set -t 'string' '/home/u/.wine/drive_c/Apps/x.exe' "
              "'metadata::custom-icon' 'file:///home/u/.local/share/icons/x.png'");
    // An apostrophe closes the quoting, is escaped, and reopens it; doubling it would hand gio
    // the name with the apostrophe missing.
    EXPECT_EQ(wine::GioCustomIconCommand("/d/O'Brien.exe", "/i/O'Brien #1.png"),
              "/bin/gio set -t 'string' '/d/O'\\''Brien.exe' 'metadata::custom-icon' "
              "'file:///i/O%27Brien%20%231.png'");
}

// The path GLib reads back from a file URI, as gio and the file managers do; empty when GLib
// refuses the URI.
std::string PathOfUri(const std::string& uri) {
    gchar* path = g_filename_from_uri(uri.c_str(), nullptr, nullptr);
    std::string result = path ? path : "";
    g_free(path);
    return result;
}

TEST(GioCustomIconCommand, ShellHandsGioExactlyTheNames) {
    struct Case {
        const char* file;
        const char* icon;
    };
    const Case cases[] = {
        {"/home/u/.wine/drive_c/Apps/x.exe", "/home/u/.local/share/icons/x.png"},
        {"/mnt/Pat O'Brien's/O'Brien.exe", "/home/o'b/.local/share/icons/o'brien.png"},
        {"/home/u/My Tools/a  b\tc.exe", "/home/u/.local/share/icons/my tool.png"},
        {"/tmp/$(touch /tmp/pwned)/`id`/$HOME/x;y|z&.exe", "/i/\"q\" \\n *.png"},
        {"/home/u/Fotos Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f.exe",
         "/home/u/.local/share/icons/#1 100%41 a?b=c&d+e;f,g@h[i]\xc3\xa9.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<std::string> words =
            WordsThroughShell(wine::GioCustomIconCommand(c.file, c.icon));
        ASSERT_EQ(words.size(), 6u);
        const std::vector<std::string> expected = {"set", "-t", "string", c.file,
                                                   "metadata::custom-icon"};
        EXPECT_EQ(std::vector<std::string>(words.begin(), words.end() - 1), expected);
        // The URI names the icon itself, not another file or a fragment of it.
        EXPECT_EQ(PathOfUri(words[5]), c.icon);
    }
}

}  // namespace
