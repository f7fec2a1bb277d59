#include "wine/unix_bridge_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/whole_file_win.h"
#include "wine/shell_quote.h"
#include "wine/wine_detect_win.h"

namespace {

using namespace std::chrono_literals;

// The bridge's files of this process still in TEMP.
std::vector<std::string> RunFilesLeft() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring pattern =
        std::wstring(temp) + L"lumora-" + std::to_wstring(::GetCurrentProcessId()) + L"-*";
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(host::Narrow(found.cFileName));
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

TEST(UnixBridge, CapturesStandardOutputAndTheExitStatus) {
    const wine::UnixRunResult listed = wine::RunUnix("echo hello; echo one | tr o O # note", 10s);
    EXPECT_TRUE(listed.started);
    EXPECT_EQ(listed.exitStatus, 0);
    EXPECT_EQ(listed.output, "hello\nOne\n");
    const wine::UnixRunResult failed = wine::RunUnix("echo partial; exit 3", 10s);
    EXPECT_EQ(failed.exitStatus, 3);
    EXPECT_EQ(failed.output, "partial\n");
    EXPECT_EQ(wine::RunUnix("no-such-command-here 2>/dev/null", 10s).exitStatus, 127);
    // UTF-8 and shell syntax pass through the script untouched.
    EXPECT_EQ(wine::RunUnixCaptured("printf 'Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f'"),
              "Caf\xc3\xa9 \xe5\x86\x99\xe7\x9c\x9f");
    const std::string tricky = "a$(echo PWNED)b `id` O'Brien \"x\" \\n *";
    EXPECT_EQ(wine::RunUnixCaptured("printf %s " + wine::ShellQuote(tricky)), tricky);
    EXPECT_TRUE(RunFilesLeft().empty());
}

// The run's files lie in the prefix's TEMP while it runs and go once it has been read; the wait
// keeps dispatching this thread's messages.
TEST(UnixBridge, PrivateFilesAndAWaitThatKeepsDispatching) {
    wine::UnixRun run = wine::StartUnixCommand("sleep 1; echo late");
    ASSERT_TRUE(run.Started());
    EXPECT_EQ(run.Poll(), std::nullopt);
    EXPECT_FALSE(RunFilesLeft().empty());

    static bool dispatched = false;
    dispatched = false;
    const UINT_PTR timer =
        ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) { dispatched = true; });
    EXPECT_EQ(run.Wait(20s), 0);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(dispatched);
    EXPECT_EQ(run.Output(), "late\n");
    EXPECT_TRUE(RunFilesLeft().empty());

    // A run given up on takes its files with it.
    {
        wine::UnixRun abandoned = wine::StartUnixCommand("sleep 1");
        EXPECT_EQ(abandoned.Wait(0ms), std::nullopt);
    }
    EXPECT_EQ(RunFilesLeft(), std::vector<std::string>{});
}

TEST(UnixBridge, RunsWithoutWaiting) {
    const std::string marker =
        wine::WineUnixFileName(host::ProgramFolder()).value_or("") + "/bridge-ran";
    const std::string windowsMarker = host::ProgramFolder() + "bridge-ran";
    ::DeleteFileW(host::Widen(windowsMarker).c_str());
    // The command sleeps before writing: RunUnixCommand must return before it has finished.
    EXPECT_TRUE(wine::RunUnixCommand("sleep 1; echo done > " + wine::ShellQuote(marker)));
    EXPECT_FALSE(host::FileExists(windowsMarker));
    for (int i = 0; i < 40 && !host::FileExists(windowsMarker); ++i) ::Sleep(250);
    EXPECT_EQ(host::ReadWholeFile(windowsMarker, 64), "done\n");
    ::DeleteFileW(host::Widen(windowsMarker).c_str());
    EXPECT_TRUE(RunFilesLeft().empty());
}

}  // namespace
