// Windows shell shortcuts (.lnk).
#pragma once

#include <string>

namespace app {

// Writes the shortcut through the shell link object. The new link is saved under a temporary
// name beside shortcutPath and then moved over it, so an existing shortcut there is replaced
// only by a complete new one and stays untouched when anything fails. True only when the new
// file is in place at shortcutPath. Under Wine, a shortcut on the desktop or in the Start menu
// then goes to Wine's menu builder, which makes its Linux launcher. Strings are UTF-8; the icon
// index is always 0.
bool CreateShortcut(const std::string& shortcutPath, const std::string& targetPath,
                    const std::string& arguments, const std::string& workingDirectory,
                    int showCommand, const std::string& iconPath, const std::string& description);

}  // namespace app
