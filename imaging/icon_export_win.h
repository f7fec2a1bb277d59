// Exports a program's own icon as files a desktop can show.
#pragma once

#include <string>

namespace imaging {

// Writes the module's first group icon as <iconName>.ico into iconFolder (ending in '\') and
// turns it into <iconName>.png there. Answers the PNG path when the PNG exists, else the ICO
// path, and an empty string when the module could not be loaded. An existing PNG is returned at
// once and never regenerated.
std::string ExportProgramIcon(const std::string& modulePath, const std::string& iconFolder,
                              const std::string& iconName);

}  // namespace imaging
