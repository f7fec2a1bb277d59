// Choosing the folder the shortcut opens.
#pragma once

namespace app {

// Normalises ChosenFolder to one trailing backslash, shows it in the folder box, enables Build.
void SelectFolder();
// The browse button: the folder browser, then SelectFolder.
void BrowseForFolder();

}  // namespace app
