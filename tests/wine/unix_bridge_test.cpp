#include "wine/unix_bridge_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "wine/shell_quote.h"
#include "wine/unix_bridge.h"
#include "wine/wine_detect_win.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(host::Widen(path).c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string User() { return host::EnvironmentVariable("USERNAME"); }

TEST(UnixBridge, WritesTheScriptAnewAndMakesItExecutable) {
    const std::string script = "z:\\home\\" + User() + "\\dues.sh";
    wine::WriteUnixScript("echo first");
    wine::WriteUnixScript("");
    EXPECT_EQ(ReadBytes(script), "#!/bin/bash\n\n");
    EXPECT_EQ(wine::WineVersionCache, wine::WineVersion());

    wine::WriteUnixScript("printf 'Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f'");
    EXPECT_EQ(ReadBytes(script), "#!/bin/bash\nprintf 'Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f'\n");
    // Executable once written: checked from the Unix side.
    EXPECT_EQ(wine::RunUnixCaptured("test -x /home/" + User() + "/dues.sh && echo executable"),
              "executable\n");
}

TEST(UnixBridge, CapturesStandardOutputExactly) {
    // Every part of a compound command is captured, a trailing comment does not hide the log.
    EXPECT_EQ(wine::RunUnixCaptured("echo hello; echo there"), "hello\nthere\n");
    EXPECT_EQ(wine::RunUnixCaptured("echo one | tr o O # note"), "One\n");
    // UTF-8 passes through the script and the log untouched.
    EXPECT_EQ(wine::RunUnixCaptured("printf 'Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f'"),
              "Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f");
    // The quoting helper keeps shell syntax literal on the real shell.
    const std::string tricky = "a$(echo PWNED)b `id` O'Brien \"x\" \\n *";
    EXPECT_EQ(wine::RunUnixCaptured("printf %s " + wine::ShellQuote(tricky)), tricky);
    // The log read back is the one the command wrote, not a stale one.
    EXPECT_EQ(wine::RunUnixCaptured("echo second"), "second\n");
}

TEST(UnixBridge, SilentCommandGivesEmptyTextAfterItsPolling) {
    wine::RunUnixCaptured("echo stale");
    EXPECT_EQ(wine::RunUnixCaptured("true"), "");
}

TEST(UnixBridge, RunsWithoutWaiting) {
    const std::string marker = "/home/" + User() + "/bridge-ran";
    ::DeleteFileW(host::Widen("z:" + marker).c_str());
    // The command sleeps before writing: RunUnixCommand must return before it has finished.
    wine::RunUnixCommand("sleep 1; echo done > " + wine::ShellQuote(marker));
    EXPECT_FALSE(host::FileExists("z:" + marker));
    for (int i = 0; i < 40 && !host::FileExists("z:" + marker); ++i) ::Sleep(250);
    EXPECT_EQ(ReadBytes("z:" + marker), "done\n");
    ::DeleteFileW(host::Widen("z:" + marker).c_str());
}

}  // namespace
