// Writes one group icon of a module as a stand-alone .ico file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace imaging {

// State of the group-icon enumeration. Enumeration callbacks carry no context here, so it is
// process-wide: WriteGroupIcon is not re-entrant. LargestIconWidth keeps the value of the last
// call (0 before any) for the export, which loads the icon at that size.
extern int32_t GroupOrdinal;
extern int32_t TargetOrdinal;
extern std::string IcoOutputPath;
extern int32_t LargestIconWidth;

// Writes the ordinal-th group icon (1 for the first, in enumeration order) of the module to
// outputPath, replacing it whole. 1 when the file was written; 0 when nothing was: the module
// could not be loaded, has no such group icon, or the file could not be written. The module
// stays loaded for the life of the process.
int32_t WriteGroupIcon(const std::string& modulePath, int32_t ordinal,
                       const std::string& outputPath);

BOOL CALLBACK GroupIconWalker(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR written);

}  // namespace imaging
