// Writes the program's desktop entry into the Linux home and marks files with its icon.
#pragma once

#include <string>

namespace wine {

// Windows path of the entry file: wine-<name>.desktop in the home's applications folder, named
// after the alternative name when it is not empty, else after the target.
std::string DesktopEntryPath(const std::string& target, const std::string& alternativeName);

// Exports the target's icon into the home's icon folder under the target's DesktopName; the path
// ExportProgramIcon answers.
std::string ExportDesktopIcon(const std::string& target);

// Sets gio's metadata::custom-icon of the file (Windows path) to the icon (Windows path). Started
// through the Unix bridge and not waited for; its outcome is not known.
void SetCustomIcon(const std::string& file, const std::string& icon);

// Exports the target's icon, marks the target with it, writes the entry (shown with an Exec line,
// or hidden) and marks the entry too. 1 when the entry was written, 0 when it could not be.
int CreateDesktopEntry(const std::string& target, bool show, const std::string& alternativeName);

}  // namespace wine
