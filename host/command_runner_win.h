// Runs a console command hidden, waits while the window keeps answering, returns its output.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "host/unique_win.h"

namespace host {

// stdout and stderr together, trailing CR/LF removed, as UTF-8. nullopt when a run is already
// in progress (the two would share their temporary files); the caller beeps. A command still
// running after kCommandLimit is ended and answers what it wrote so far.
std::optional<std::string> RunCommandCaptured(std::string command, std::string folder);

// A process started by StartHiddenProcess and its first thread. Under Wine a Unix program is
// started without either handle.
struct StartedProcess {
    UniqueHandle process;
    UniqueHandle thread;
};

// Starts a console command line with no window, in workingFolder (the current folder when it is
// empty). Suspended, the caller can put it into a job before its first instruction runs.
// nullopt when it could not be started.
std::optional<StartedProcess> StartHiddenProcess(const std::string& commandLine,
                                                 const std::string& workingFolder = {},
                                                 bool suspended = false);

// How long a captured command may run: "magick convert -version" answers at once, so only a
// wedged command ever gets near it.
inline constexpr std::chrono::seconds kCommandLimit{60};

// Waits for the process to end, at most `limit`, while routing this thread's window messages; a
// process still running then is terminated. True when it ended within the limit.
bool WaitForExitWithin(HANDLE process, std::chrono::milliseconds limit);

// Waits for the process to end, at most `limit`, while routing this thread's window messages,
// then releases the handle. True when the process ended; an empty handle ends the wait at once.
bool WaitForProcessEnd(UniqueHandle& process, std::chrono::milliseconds limit = kCommandLimit);

// Closes the handle (once) and leaves it empty.
void ReleaseProcessHandle(UniqueHandle& process);

}  // namespace host
