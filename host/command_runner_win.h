// Runs a console command hidden, waits while the window keeps answering, returns its output.
#pragma once

#include <optional>
#include <string>

namespace host {

// stdout and stderr together, trailing CR/LF removed. nullopt when a run is already in progress
// (the two would share their temporary files); the caller beeps.
std::optional<std::string> RunCommandCaptured(std::string command, std::string folder);

}  // namespace host
