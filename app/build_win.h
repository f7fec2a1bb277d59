// The Build button: a shortcut to the viewer for the chosen folder, with the chosen icon.
#pragma once

#include <string>

namespace app {

// The save dialog, then SaveShortcut.
void Build();
// Second half of Build, once the save dialog has answered: writes the shortcut and reveals it, or
// tells the user that it could not be saved.
void SaveShortcut(const std::string& shortcutPath);

}  // namespace app
