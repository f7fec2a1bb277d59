// Operations on the main dialog that other parts of the program call.
#pragma once

#include <string>

namespace app {

// Normalises ChosenFolder to one trailing backslash, shows it in the folder box, enables Build.
void SelectFolder();
// Loads IconSource as a 32 x 32 icon into PreviewIcon and shows it (empty when it cannot load).
void RefreshIconPreview();

// The click handlers of the dialog's controls.
void BrowseForFolder();
void ChooseIcon();
void Build();
// Second half of Build, once the save dialog has answered: writes the shortcut and reveals it, or
// tells the user that it could not be saved.
void SaveShortcut(const std::string& shortcutPath);

}  // namespace app
