#include "host/command_runner_win.h"

namespace host {

// Placeholder until the captured command runner lands.
std::optional<std::string> RunCommandCaptured(std::string, std::string) { return std::string(); }

}  // namespace host
