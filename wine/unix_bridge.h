// The texts of the Unix command bridge: the run's private file names, the script /bin/sh runs,
// the status it leaves, and the Windows command line that starts the shell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wine {

// One run's files, by name: script, standard output, exit status; for a standby, its order and
// its pipe.
struct UnixRunFileNames {
    std::string script;
    std::string output;
    std::string status;
    std::string order;
    std::string pipe;
};
// "lumora-<pid>-<run>.sh", ".out", ".status", ".order", ".pipe": no two processes and no two runs
// of one process share a name.
UnixRunFileNames UnixRunFiles(std::uint32_t processId, std::uint32_t run);

// The script of a run that is waited for (Unix paths): it runs the command in a subshell with its
// standard output in `output`, then removes itself and leaves the exit status in `status`, written
// under a side name and renamed, so it is never read half-written. When the script has gone
// before the command ended (the waiter gave up), it removes the output and leaves no status.
std::string UnixRunScript(std::string_view command, std::string_view script,
                          std::string_view output, std::string_view status);
// The script of a run nobody waits for: it removes itself, runs at a lower priority, the output
// is discarded.
std::string DetachedUnixScript(std::string_view command, std::string_view script);

// The script of a shell started ahead of a run, so that the run starts the moment it is given
// (Unix paths): it makes `pipe`, waits without polling (tail follows `order` through the file
// system's change events; where there are none, it looks every 50 ms) for the first line
// written to `order`, the Unix path of a run's script, and then runs that script itself. An
// empty line, or limitSeconds without one, ends it instead. It removes itself, `pipe` and
// `order`; `order` must exist before it starts.
std::string StandbyUnixScript(std::string_view script, std::string_view order,
                              std::string_view pipe, int limitSeconds);

// The exit status in a status file's text ("0\n"); nullopt unless it is a complete number line.
std::optional<int> ParseExitStatus(std::string_view text);

// One argument as the Windows command-line parser reads it back whole (blanks, quotes and
// backslashes included).
std::string QuoteWindowsArgument(std::string_view argument);
// The command line that starts the shell program (its Windows path) on the script (Unix path).
std::string ShellCommandLine(std::string_view shellProgram, std::string_view unixScript);

}  // namespace wine
