#include "wine/shell_quote.h"
#include "wine/unix_bridge.h"
#include "wine/wine_home.h"

#include <gtest/gtest.h>

namespace {

TEST(StartSwitch, ComparesVersionsAsText) {
    // The comparison is byte-wise on purpose: 1.x and 10.x fall below "11", 2.x to 9.x above.
    EXPECT_EQ(wine::StartSwitch("10.0"), "exec");
    EXPECT_EQ(wine::StartSwitch("1.8.7"), "exec");
    EXPECT_EQ(wine::StartSwitch("1"), "exec");
    EXPECT_EQ(wine::StartSwitch(""), "exec");
    EXPECT_EQ(wine::StartSwitch("11"), "unix");
    EXPECT_EQ(wine::StartSwitch("11.0"), "unix");
    EXPECT_EQ(wine::StartSwitch("9.0"), "unix");
    EXPECT_EQ(wine::StartSwitch("8.0"), "unix");
    EXPECT_EQ(wine::StartSwitch("2.0-rc1"), "unix");
}

TEST(UnixBridgeText, ScriptAndCommandLines) {
    EXPECT_EQ(wine::UnixScriptBytes("ls -al"), "#!/bin/bash\nls -al\n");
    EXPECT_EQ(wine::UnixScriptBytes(""), "#!/bin/bash\n\n");
    EXPECT_EQ(wine::UnixScriptBytes("printf 'Caf\xc3\xa9'"), "#!/bin/bash\nprintf 'Caf\xc3\xa9'\n");

    EXPECT_EQ(wine::ChmodCommandLine("unix", wine::WineHomeOf("bob")),
              "start /unix /bin/chmod +x /home/bob/dues.sh");
    EXPECT_EQ(wine::RunScriptCommandLine(wine::StartSwitch("10.0"), wine::WineHomeOf("bob")),
              "start /exec /bin/sh /home/bob/dues.sh");
    EXPECT_EQ(wine::RunScriptCommandLine(wine::StartSwitch("9.0"), wine::WineHomeOf("bob")),
              "start /unix /bin/sh /home/bob/dues.sh");
    EXPECT_EQ(wine::WindowsScriptPath(wine::WineHomeOf("bob")), "z:\\home\\bob\\dues.sh");
    EXPECT_EQ(wine::WindowsLogPath(wine::WineHomeOf("bob")), "z:\\home\\bob\\dues.log");
}

TEST(UnixBridgeText, CapturedOutputGoesToTheFileThatIsReadBack) {
    // Not ~/dues.log: the shell's HOME may differ from /home/USERNAME, the file read is fixed.
    EXPECT_EQ(wine::CapturedCommand("ls -al ~/.wine/dosdevices", wine::WineHomeOf("bob")),
              "{ ls -al ~/.wine/dosdevices\n} > '/home/bob/dues.log'");
    EXPECT_EQ(wine::CapturedCommand("echo hi", wine::WineHomeOf("o'neil")),
              "{ echo hi\n} > '/home/o'\\''neil/dues.log'");
}

TEST(ShellQuote, KeepsEveryCharacterLiteral) {
    EXPECT_EQ(wine::ShellQuote(""), "''");
    EXPECT_EQ(wine::ShellQuote("/home/bob/a b.png"), "'/home/bob/a b.png'");
    EXPECT_EQ(wine::ShellQuote("a$(touch PWNED)b.png"), "'a$(touch PWNED)b.png'");
    EXPECT_EQ(wine::ShellQuote("O'Brien.png"), "'O'\\''Brien.png'");
    EXPECT_EQ(wine::ShellQuote("''"), "''\\'''\\'''");
    EXPECT_EQ(wine::ShellQuote("`id`\\n\"x\"; rm -rf ~"), "'`id`\\n\"x\"; rm -rf ~'");
}

}  // namespace
