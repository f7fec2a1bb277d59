// Wine's menu builder turns the shortcuts on the Windows desktop and in the Start menu into Linux
// launchers. Pure: which shortcuts it is given, and how it is started.
#pragma once

#include <string>
#include <string_view>

namespace wine {

// True when the path lies inside the folder, at any depth: compared without regard to ASCII
// letter case, with '/' taken for '\' and the folder's trailing backslashes ignored. The folder
// itself, an empty folder and a sibling whose name only begins like it are not inside.
bool LiesUnder(std::string_view path, std::string_view folder);

// "<systemFolder>\winemenubuilder.exe" -w "<shortcut>": what Wine's shell starts for a shortcut
// it saved, -w making it wait for the file it is given. Windows paths hold no '"'.
std::string MenuBuilderCommandLine(std::string_view systemFolder, std::string_view shortcutPath);

}  // namespace wine
