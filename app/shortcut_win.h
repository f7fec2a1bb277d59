// Windows shell shortcuts (.lnk).
#pragma once

#include <string>

namespace app {

// Writes the shortcut through the shell link object. True only when the file was saved.
bool CreateShortcut(const std::string& shortcutPath, const std::string& targetPath,
                    const std::string& arguments, const std::string& workingDirectory,
                    int showCommand, const std::string& iconPath, const std::string& description);

}  // namespace app
