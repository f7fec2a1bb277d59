#include "wine/unix_bridge_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/icon_convert_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/whole_file_win.h"
#include "wine/shell_quote.h"
#include "tests/wine/wine_test_support.h"
#include "wine/wine_detect_win.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::ScopedVariable;

constexpr wchar_t kReadyName[] = L"LumoraBridgeTestReady";
constexpr wchar_t kGoName[] = L"LumoraBridgeTestGo";
constexpr wchar_t kSourceVariable[] = L"LUMORA_TEST_CONVERT_SOURCE";

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

    // A run given up on leaves nothing once its command has ended (its output, opened after the
    // waiter cleaned up, goes with the shell).
    {
        wine::UnixRun abandoned = wine::StartUnixCommand("sleep 1");
        EXPECT_EQ(abandoned.Wait(0ms), std::nullopt);
    }
    for (int i = 0; i < 100 && !RunFilesLeft().empty(); ++i) ::Sleep(100);
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

// Run only as a child of the next test: says it is ready, converts the image it was given the
// moment the parent says go.
TEST(UnixBridgeChild, DISABLED_ConvertAtTheSignal) {
    const std::string source = host::EnvironmentVariable(host::Narrow(kSourceVariable));
    ASSERT_FALSE(source.empty());
    const host::UniqueHandle ready(::OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, kReadyName));
    const host::UniqueHandle go(::OpenEventW(SYNCHRONIZE, FALSE, kGoName));
    ASSERT_TRUE(ready && go);
    ::ReleaseSemaphore(ready.Get(), 1, nullptr);
    ASSERT_EQ(::WaitForSingleObject(go.Get(), 60000), WAIT_OBJECT_0);
    app::ConvertIcon(source, app::IconConverter::UnixConvert);
}

TEST(UnixBridge, TwoInstancesConvertAtTheSameMoment) {
    const testing_support::TempFolder folder;
    const std::string windowsFolder = host::Narrow(folder.Path());
    const std::string unixFolder = wine::WineUnixFileName(windowsFolder).value_or("");
    ASSERT_EQ(wine::RunUnix("cd " + wine::ShellQuote(unixFolder) +
                                " && convert -size 300x200 xc:red one.png && convert -size 200x300 "
                                "xc:blue two.png",
                            60s)
                  .exitStatus,
              0);
    const host::UniqueHandle ready(::CreateSemaphoreW(nullptr, 0, 2, kReadyName));
    const host::UniqueHandle go(::CreateEventW(nullptr, TRUE, FALSE, kGoName));
    ASSERT_TRUE(ready && go);
    const std::wstring program = host::Widen(host::ProgramPath());
    const std::wstring arguments =
        L"--gtest_also_run_disabled_tests "
        L"--gtest_filter=UnixBridgeChild.DISABLED_ConvertAtTheSignal";
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (const wchar_t* name : {L"one.png", L"two.png"}) {
        const ScopedVariable source(kSourceVariable, (folder.Path() + name).c_str());
        children.push_back(std::make_unique<ChildProcess>(program, folder.Path(), arguments));
        ASSERT_TRUE(children.back()->Started());
    }
    for (int i = 0; i < 2; ++i) ASSERT_EQ(::WaitForSingleObject(ready.Get(), 60000), WAIT_OBJECT_0);
    ::SetEvent(go.Get());

    for (const auto& child : children) EXPECT_EQ(child->ExitCode(), 0u);
    for (const char* name : {"one.ico", "two.ico"}) {
        EXPECT_EQ(testing_support::IconSizes(
                      host::ReadWholeFile(windowsFolder + name, 1 << 20).value_or("")),
                  (std::vector<int>{16, 24, 32, 48, 64, 72, 96, 128, 256}))
            << name;
    }
}

}  // namespace
