// Operations on the main dialog that other parts of the program call.
#pragma once

namespace app {

// Normalises ChosenFolder to one trailing backslash, shows it in the folder box, enables Build.
void SelectFolder();
// Loads IconSource as a 32 x 32 icon into PreviewIcon and shows it (empty when it cannot load).
void RefreshIconPreview();

}  // namespace app
