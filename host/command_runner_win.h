// Runs a console command hidden, waits while the window keeps answering, returns its output.
#pragma once

#include <optional>
#include <string>

#include "host/unique_win.h"

namespace host {

// stdout and stderr together, trailing CR/LF removed, as UTF-8. nullopt when a run is already
// in progress (the two would share their temporary files); the caller beeps.
std::optional<std::string> RunCommandCaptured(std::string command, std::string folder);

// Starts a file through the shell's default action without UI; the new process's handle, empty
// when the shell failed or started no process.
UniqueHandle ShellStartHidden(const std::string& file, const std::string& parameters,
                              int showCommand);

// Waits for the process to end while routing this thread's window messages, then releases
// the handle. An empty handle ends the wait at once.
void WaitForProcessEnd(UniqueHandle& process);

// Closes the handle (once) and leaves it empty.
void ReleaseProcessHandle(UniqueHandle& process);

}  // namespace host
