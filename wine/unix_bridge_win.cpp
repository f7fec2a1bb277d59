#include "wine/unix_bridge_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <utility>

#include "host/command_runner_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/wait_win.h"
#include "host/whole_file_win.h"
#include "wine/unix_bridge.h"
#include "wine/wine_detect_win.h"

namespace wine {
namespace {

constexpr std::chrono::seconds kCapturedLimit{3};
constexpr std::size_t kStatusBytes = 16;
constexpr std::chrono::milliseconds kPollStep{50};
// A standby ends by itself after its limit; it is given a run only well within it.
constexpr int kStandbyLimitSeconds = 600;
constexpr std::chrono::seconds kStandbyUseWithin{kStandbyLimitSeconds - 60};

// Where the runs keep their files: the prefix's own TEMP folder, both views; the Unix view is
// empty when it cannot be found.
struct BridgeFolder {
    std::string windows;
    std::string unix;
};

const BridgeFolder& Folder() {
    static const BridgeFolder folder = [] {
        BridgeFolder found;
        found.windows = host::TempFolder();
        if (found.windows.empty()) return found;
        found.unix = WineUnixFileName(found.windows).value_or(std::string());
        if (!found.unix.empty() && found.unix.back() != '/') found.unix += '/';
        return found;
    }();
    return folder;
}

// The shell as Windows names it: Wine's DOS name of /bin/sh (drive z:, or \\?\unix\ when no
// drive leads to the root).
const std::string& ShellProgram() {
    static const std::string shell = [] {
        return WineDosFileName("/bin/sh").value_or("Z:\\bin\\sh");
    }();
    return shell;
}

// Wine hands a Unix program's command line to it as its arguments, and gives back no process
// handle: the run's own status file says when it has ended.
bool StartShell(const std::string& unixScript) {
    return host::StartHiddenProcess(ShellCommandLine(ShellProgram(), unixScript)).has_value();
}

// Wakes a wait when a file of the folder appears or is written (a status), so that a command is
// seen to end at once, not up to a polling step later; null when there is none. One for the
// program's life, shared by the waits of all threads: under Wine closing one removes a Linux
// file watch, which can cost the closer tens of milliseconds.
HANDLE FolderChange() {
    static const host::UniqueChangeNotification change(::FindFirstChangeNotificationW(
        host::Widen(Folder().windows).c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));
    return change ? change.Get() : nullptr;
}

void Delete(const std::string& path) {
    if (!path.empty()) ::DeleteFileW(host::Widen(path).c_str());
}

std::uint32_t NextRun() {
    // The start-up's registration runs its commands from a thread of its own.
    static std::atomic<std::uint32_t> runs{0};
    return ++runs;
}

}  // namespace

UnixRun::UnixRun(UnixRun&& other) noexcept
    : started_(std::exchange(other.started_, false)),
      scriptPath_(std::move(other.scriptPath_)),
      outputPath_(std::move(other.outputPath_)),
      statusPath_(std::move(other.statusPath_)),
      status_(std::move(other.status_)),
      output_(std::move(other.output_)) {
    other.scriptPath_.clear();
    other.outputPath_.clear();
    other.statusPath_.clear();
}

UnixRun& UnixRun::operator=(UnixRun&& other) noexcept {
    if (this != &other) {
        RemoveFiles();
        UnixRun moved(std::move(other));
        std::swap(started_, moved.started_);
        std::swap(scriptPath_, moved.scriptPath_);
        std::swap(outputPath_, moved.outputPath_);
        std::swap(statusPath_, moved.statusPath_);
        std::swap(status_, moved.status_);
        std::swap(output_, moved.output_);
    }
    return *this;
}

UnixRun::~UnixRun() { RemoveFiles(); }

void UnixRun::RemoveFiles() {
    // The script goes first: a command still running then leaves nothing behind.
    Delete(scriptPath_);
    Delete(outputPath_);
    Delete(statusPath_);
    outputPath_.clear();
    scriptPath_.clear();
    statusPath_.clear();
}

void UnixRun::GiveUp() {
    if (status_) return;
    started_ = false;
    RemoveFiles();
}

std::optional<int> UnixRun::Poll() {
    if (!started_ || status_) return status_;
    const std::optional<std::string> text = host::ReadWholeFile(statusPath_, kStatusBytes);
    if (!text) return std::nullopt;
    const std::optional<int> status = ParseExitStatus(*text);
    if (!status) return std::nullopt;
    // The script wrote the status after the command's output was complete.
    output_ = host::ReadWholeFile(outputPath_, std::string::npos).value_or(std::string());
    status_ = status;
    RemoveFiles();
    return status_;
}

std::optional<int> UnixRun::Wait(std::chrono::milliseconds limit) {
    if (!started_) return std::nullopt;
    const HANDLE change = FolderChange();
    if (!change) {
        host::WaitDispatchingUntil([this] { return !started_ || Poll().has_value(); }, limit);
        return status_;
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (started_ && !Poll()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= std::chrono::milliseconds(0)) break;
        const host::WaitResult woken = host::WaitDispatching(change, std::min(left, kPollStep));
        if (woken == host::WaitResult::Quit) break;
        if (woken == host::WaitResult::Signalled) ::FindNextChangeNotification(change);
    }
    return status_;
}

UnixStandby::UnixStandby(UnixStandby&& other) noexcept
    : orderPath_(std::exchange(other.orderPath_, std::string())), startedAt_(other.startedAt_) {}

UnixStandby& UnixStandby::operator=(UnixStandby&& other) noexcept {
    if (this != &other) {
        LetGo();
        orderPath_ = std::exchange(other.orderPath_, std::string());
        startedAt_ = other.startedAt_;
    }
    return *this;
}

UnixStandby::~UnixStandby() { LetGo(); }

bool UnixStandby::Waiting() const {
    return !orderPath_.empty() && std::chrono::steady_clock::now() - startedAt_ < kStandbyUseWithin;
}

bool UnixStandby::Take(const std::string& unixScript) {
    if (!Waiting()) {
        LetGo();
        return false;
    }
    // Into the order the shell follows, which is there for as long as the shell waits: one
    // gone means the shell is gone too.
    const std::string order = std::exchange(orderPath_, std::string());
    return host::WriteExistingFile(order, unixScript + "\n");
}

void UnixStandby::LetGo() {
    // An empty line ends it; it removes its files itself.
    if (!orderPath_.empty())
        host::WriteExistingFile(std::exchange(orderPath_, std::string()), "\n");
}

UnixStandby StartUnixStandby() {
    UnixStandby standby;
    const BridgeFolder& folder = Folder();
    if (folder.unix.empty()) return standby;
    const UnixRunFileNames names = UnixRunFiles(::GetCurrentProcessId(), NextRun());
    const std::string scriptPath = folder.windows + names.script;
    const std::string orderPath = folder.windows + names.order;
    const std::string unixScript = folder.unix + names.script;
    const bool started =
        host::WriteWholeFile(orderPath, "") &&
        host::WriteWholeFile(scriptPath,
                             StandbyUnixScript(unixScript, folder.unix + names.order,
                                               folder.unix + names.pipe, kStandbyLimitSeconds)) &&
        StartShell(unixScript);
    if (!started) {
        Delete(scriptPath);
        Delete(orderPath);
        return standby;
    }
    standby.orderPath_ = orderPath;
    standby.startedAt_ = std::chrono::steady_clock::now();
    return standby;
}

UnixRun StartUnixCommand(const std::string& command, UnixStandby* standby) {
    UnixRun run;
    const BridgeFolder& folder = Folder();
    if (folder.unix.empty()) return run;
    const UnixRunFileNames names = UnixRunFiles(::GetCurrentProcessId(), NextRun());
    run.scriptPath_ = folder.windows + names.script;
    run.outputPath_ = folder.windows + names.output;
    run.statusPath_ = folder.windows + names.status;
    // Left by an earlier process that had this process's id: not this run's.
    Delete(run.outputPath_);
    Delete(run.statusPath_);
    const std::string unixScript = folder.unix + names.script;
    const std::string script =
        UnixRunScript(command, unixScript, folder.unix + names.output, folder.unix + names.status);
    run.started_ = host::WriteWholeFile(run.scriptPath_, script) &&
                   ((standby && standby->Take(unixScript)) || StartShell(unixScript));
    return run;
}

bool RunUnixCommand(const std::string& command) {
    const BridgeFolder& folder = Folder();
    if (folder.unix.empty()) return false;
    const UnixRunFileNames names = UnixRunFiles(::GetCurrentProcessId(), NextRun());
    const std::string scriptPath = folder.windows + names.script;
    const std::string unixScript = folder.unix + names.script;
    if (host::WriteWholeFile(scriptPath, DetachedUnixScript(command, unixScript)) &&
        StartShell(unixScript))
        return true;
    Delete(scriptPath);
    return false;
}

UnixRunResult RunUnix(const std::string& command, std::chrono::milliseconds limit) {
    UnixRun run = StartUnixCommand(command);
    UnixRunResult result;
    result.started = run.Started();
    result.exitStatus = run.Wait(limit);
    result.output = run.Output();
    return result;
}

std::string RunUnixCaptured(const std::string& command) {
    return RunUnix(command, kCapturedLimit).output;
}

}  // namespace wine
