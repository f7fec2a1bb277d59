#include "wine/shell_quote.h"
#include "wine/unix_bridge.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <poll.h>
#include <unistd.h>

#include <thread>

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A folder with a blank and a quote in its name, removed afterwards.
class ScriptFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("lumora run's folder " + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Writes the script the bridge would write for the command and runs it as Wine would.
    void Run(const std::string& command, bool detached = false) {
        const std::string script = (folder_ / "run.sh").string();
        std::ofstream(script, std::ios::binary)
            << (detached
                    ? wine::DetachedUnixScript(command, script)
                    : wine::UnixRunScript(command, script, Output().string(), Status().string()));
        ASSERT_EQ(std::system(("/bin/sh " + wine::ShellQuote(script)).c_str()), 0);
        EXPECT_FALSE(fs::exists(script));
    }
    fs::path Output() const { return folder_ / "run.out"; }
    fs::path Status() const { return folder_ / "run.status"; }

    fs::path folder_;
};

TEST_F(ScriptFolder, CapturesTheWholeOutputThenLeavesTheExitStatus) {
    Run("echo hello; echo one | tr o O # note");
    EXPECT_EQ(Read(Output()), "hello\nOne\n");
    EXPECT_EQ(wine::ParseExitStatus(Read(Status())), 0);

    // An exit ends the command only: its status is still reported.
    Run("printf 'Caf\xc3\xa9'; exit 3");
    EXPECT_EQ(Read(Output()), "Caf\xc3\xa9");
    EXPECT_EQ(wine::ParseExitStatus(Read(Status())), 3);

    // Once the waiter removed the script (it gave up), a late end leaves nothing behind.
    fs::remove(Status());
    Run("rm -f " + wine::ShellQuote((folder_ / "run.sh").string()) + "; echo lost");
    EXPECT_FALSE(fs::exists(Status()));
    EXPECT_FALSE(fs::exists(Output()));
}

TEST_F(ScriptFolder, DetachedScriptLeavesNothing) {
    Run("echo lost; nice > " + wine::ShellQuote((folder_ / "ran").string()), true);
    // It ran, below the priority it was started with.
    EXPECT_GT(std::stoi(Read(folder_ / "ran")), 0);
    EXPECT_FALSE(fs::exists(Output()));
    EXPECT_FALSE(fs::exists(Status()));
}

// Wine gives the shell the program's own streams: a terminal or a test runner waits until
// every holder has closed them, so neither script may hold them while its command runs.
TEST_F(ScriptFolder, NoScriptHoldsTheCallersStreamsWhileItsCommandRuns) {
    const std::string script = (folder_ / "run.sh").string();
    const fs::path go = folder_ / "go";
    const std::string command =
        "until [ -e " + wine::ShellQuote(go.string()) + " ]; do sleep 0.05; done; echo late";
    for (const bool detached : {false, true}) {
        fs::remove(go);
        std::ofstream(script, std::ios::binary)
            << (detached
                    ? wine::DetachedUnixScript(command, script)
                    : wine::UnixRunScript(command, script, Output().string(), Status().string()));
        FILE* streams =
            ::popen(("exec /bin/sh " + wine::ShellQuote(script) + " 2>&1").c_str(), "r");
        ASSERT_NE(streams, nullptr);
        pollfd end{::fileno(streams), POLLIN, 0};
        char byte = 0;
        // Closed by every holder while the command still waits: the read sees the end at once.
        const bool closed = ::poll(&end, 1, 10'000) == 1 && ::read(end.fd, &byte, 1) == 0;
        std::ofstream(go.string()) << "";
        ::pclose(streams);
        EXPECT_TRUE(closed) << (detached ? "detached" : "waited for");
    }
    EXPECT_EQ(Read(Output()), "late\n");
}

// True once the condition holds, checked every 20 ms for up to the limit.
template <typename Condition>
bool Within(std::chrono::milliseconds limit, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Any process whose command line names the text (the standby's tail names its order file).
bool ProcessNaming(const std::string& text) {
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        std::string cmdline = Read(entry.path() / "cmdline");
        for (char& c : cmdline) c = c == '\0' ? ' ' : c;
        if (cmdline.find(text) != std::string::npos) return true;
    }
    return false;
}

// Gone, or a zombie nobody has collected yet (the shell's parent has long ended).
bool Ended(pid_t process) {
    const std::string stat = Read("/proc/" + std::to_string(process) + "/stat");
    const std::size_t state = stat.rfind(") ");
    return state == std::string::npos || stat[state + 2] == 'Z';
}

// The standby shell, started as Wine starts it and left running: given a run's script it becomes
// that run, let go or out of time it ends; either way none of its files and no follower is left.
TEST_F(ScriptFolder, StandbyRunsTheScriptItIsGivenOrEndsLeavingNothing) {
    const fs::path standby = folder_ / "standby.sh", order = folder_ / "standby.order",
                   pipe = folder_ / "standby.pipe", pidFile = folder_ / "standby.pid";
    const std::string run = (folder_ / "run.sh").string();
    enum class Ending { GivenARun, LetGo, OutOfTime };
    for (const Ending ending : {Ending::GivenARun, Ending::LetGo, Ending::OutOfTime}) {
        std::ofstream(order.string()) << "";
        std::ofstream(standby.string(), std::ios::binary) << wine::StandbyUnixScript(
            standby.string(), order.string(), pipe.string(), ending == Ending::OutOfTime ? 1 : 30);
        std::ofstream(run, std::ios::binary)
            << wine::UnixRunScript("echo ran", run, Output().string(), Status().string());
        fs::remove(Output());
        fs::remove(Status());
        const std::string startAsWineDoes = "echo $$ > " + wine::ShellQuote(pidFile.string()) +
                                            "; exec /bin/sh " + wine::ShellQuote(standby.string());
        ASSERT_EQ(std::system(("sh -c " + wine::ShellQuote(startAsWineDoes) + " &").c_str()), 0);
        // Waiting: it has begun and made its pipe.
        ASSERT_TRUE(Within(std::chrono::seconds(5), [&] { return fs::exists(pipe); }));
        EXPECT_FALSE(fs::exists(standby));
        const pid_t shell = std::stoi(Read(pidFile));
        if (ending == Ending::GivenARun) std::ofstream(order.string()) << run << "\n";
        if (ending == Ending::LetGo) std::ofstream(order.string()) << "\n";
        EXPECT_TRUE(Within(std::chrono::seconds(5), [&] { return Ended(shell); }));
        EXPECT_EQ(fs::exists(Status()), ending == Ending::GivenARun);
        if (ending == Ending::GivenARun) {
            EXPECT_EQ(Read(Output()), "ran\n");
        }
        // The shell removes its files in the background, so that a run does not wait for rm.
        EXPECT_TRUE(Within(std::chrono::seconds(2),
                           [&] { return !fs::exists(pipe) && !fs::exists(order); }));
        EXPECT_TRUE(
            Within(std::chrono::seconds(2), [&] { return !ProcessNaming(order.string()); }));
    }
}

TEST(UnixBridgeText, RunFilesAreUniqueToProcessAndRun) {
    const wine::UnixRunFileNames first = wine::UnixRunFiles(4242, 1);
    EXPECT_EQ(first.script, "lumora-4242-1.sh");
    EXPECT_EQ(first.output, "lumora-4242-1.out");
    EXPECT_EQ(first.status, "lumora-4242-1.status");
    EXPECT_NE(wine::UnixRunFiles(4242, 2).script, first.script);
    EXPECT_NE(wine::UnixRunFiles(4243, 1).script, first.script);
}

TEST(UnixBridgeText, ExitStatusOnlyFromACompleteLine) {
    EXPECT_EQ(wine::ParseExitStatus("0\n"), 0);
    EXPECT_EQ(wine::ParseExitStatus("127\n"), 127);
    EXPECT_EQ(wine::ParseExitStatus(""), std::nullopt);
    EXPECT_EQ(wine::ParseExitStatus("1"), std::nullopt);
    EXPECT_EQ(wine::ParseExitStatus("\n"), std::nullopt);
    EXPECT_EQ(wine::ParseExitStatus("-1\n"), std::nullopt);
}

TEST(UnixBridgeText, CommandLineArgumentsSurviveWindowsParsing) {
    EXPECT_EQ(wine::ShellCommandLine("Z:\\bin\\sh", "/home/b o/.wine/Temp/lumora-1-1.sh"),
              "\"Z:\\bin\\sh\" \"/home/b o/.wine/Temp/lumora-1-1.sh\"");
    EXPECT_EQ(wine::QuoteWindowsArgument("a\"b"), "\"a\\\"b\"");
    EXPECT_EQ(wine::QuoteWindowsArgument("a\\\"b"), "\"a\\\\\\\"b\"");
    EXPECT_EQ(wine::QuoteWindowsArgument("end\\"), "\"end\\\\\"");
    EXPECT_EQ(wine::QuoteWindowsArgument("a\\b"), "\"a\\b\"");
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
