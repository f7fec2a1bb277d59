// Exports a program's own icon into the user's Linux icon folder for the desktop entry.
#pragma once

#include <string>

namespace imaging {

// Writes the module's first group icon as <DesktopName>.ico into the Linux icon folder
// (z:\home\<USERNAME>\.local\share\icons) and turns it into <DesktopName>.png there. Answers the
// PNG path when the PNG exists, else the ICO path, and an empty string when the module could not be
// loaded. An existing PNG is returned at once and never regenerated.
std::string ExportProgramIcon(const std::string& modulePath);

}  // namespace imaging
