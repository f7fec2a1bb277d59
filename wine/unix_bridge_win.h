// Runs Unix commands from inside Wine: a script in the prefix's TEMP folder, run by /bin/sh.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace wine {

class UnixStandby;

// What became of a command that was waited for.
struct UnixRunResult {
    bool started = false;           // the script was written and the shell started on it
    std::optional<int> exitStatus;  // empty: not started, not finished within the limit, or quit
    std::string output;             // its standard output, once it finished
};

// One command run by /bin/sh, with its private files (script, output, status) in the TEMP folder
// of the running prefix. Whatever of them is left goes when the run goes.
class UnixRun {
public:
    UnixRun() = default;
    UnixRun(UnixRun&& other) noexcept;
    UnixRun& operator=(UnixRun&& other) noexcept;
    UnixRun(const UnixRun&) = delete;
    UnixRun& operator=(const UnixRun&) = delete;
    ~UnixRun();

    bool Started() const { return started_; }
    // Without waiting: the exit status once the command has finished.
    std::optional<int> Poll();
    // Dispatches this thread's messages until the command has finished or the limit passed; the
    // exit status, or empty (not started, limit passed, or WM_QUIT came and was posted again).
    std::optional<int> Wait(std::chrono::milliseconds limit);
    // Standard output, read when the status was first seen.
    const std::string& Output() const { return output_; }
    // Stops waiting for the command, from a message handled during Wait too, which then answers
    // at once: the run's files go, so that the command leaves nothing behind when it ends.
    void GiveUp();

private:
    friend UnixRun StartUnixCommand(const std::string& command, UnixStandby* standby);
    void RemoveFiles();

    bool started_ = false;
    std::string scriptPath_;  // Windows views of the run's files
    std::string outputPath_;
    std::string statusPath_;
    std::optional<int> status_;
    std::string output_;
};

// A shell started ahead of one run, for a run that must start the moment it is asked for:
// starting a process under Wine takes the caller several milliseconds, and the shell a few more
// to begin. It waits without using the processor. Unused, it is let go when it goes.
class UnixStandby {
public:
    UnixStandby() = default;
    UnixStandby(UnixStandby&& other) noexcept;
    UnixStandby& operator=(UnixStandby&& other) noexcept;
    UnixStandby(const UnixStandby&) = delete;
    UnixStandby& operator=(const UnixStandby&) = delete;
    ~UnixStandby();

    // Started, and neither given a run nor too old to take one.
    bool Waiting() const;

private:
    friend UnixStandby StartUnixStandby();
    friend UnixRun StartUnixCommand(const std::string& command, UnixStandby* standby);
    // Hands it the script (Unix path); false when it can take none, and then it is let go.
    bool Take(const std::string& unixScript);
    void LetGo();

    std::string orderPath_;  // Windows view; empty once given a run or let go
    std::chrono::steady_clock::time_point startedAt_;
};

// Starts a standby shell; one that could not be started is never Waiting.
UnixStandby StartUnixStandby();

// Writes the script and starts the shell on it, or hands it to the standby when one is given and
// still waiting; returns at once.
UnixRun StartUnixCommand(const std::string& command, UnixStandby* standby = nullptr);
// Starts the command and leaves it: its output is discarded, the script removes itself. True when
// it could be started (which says nothing of how the command ends).
bool RunUnixCommand(const std::string& command);
// Starts the command and waits for it, up to the limit.
UnixRunResult RunUnix(const std::string& command, std::chrono::milliseconds limit);
// The text a command prints, for callers that need nothing else: empty when it did not finish
// within three seconds.
std::string RunUnixCaptured(const std::string& command);

}  // namespace wine
