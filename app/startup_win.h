// Start-up: prerequisite checks, then the modal main dialog.
#pragma once

namespace app {

// Runs the whole program; answers the process exit code (0).
int RunStartup();

// True when "magick convert -version" reports ImageMagick. Otherwise tells the user, opens the
// download page and answers false.
bool CheckImageMagick();

}  // namespace app
