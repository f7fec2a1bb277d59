// Start-up: silent Linux registration, prerequisite checks, the modal main dialog.
#pragma once

namespace app {

// Runs the whole program; answers the process exit code (0).
int RunStartup();

}  // namespace app
