// Exports a program's own icon as files a desktop can show.
#pragma once

#include <string>

namespace imaging {

// Writes the module's first group icon as <iconName>.ico into iconFolder (ending in '\') and
// turns it into <iconName>.png there, and into the icon theme below it at every size of
// kThemeIconSizes. Answers the PNG path when the PNG exists, else the ICO path, and an empty
// string when the module has no icon to write. An existing PNG is never regenerated; with it and
// every theme size present, nothing is touched.
std::string ExportProgramIcon(const std::string& modulePath, const std::string& iconFolder,
                              const std::string& iconName);

}  // namespace imaging
