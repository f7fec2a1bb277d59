// Windows paths as Unix paths under Wine, with the drive letters the user mapped.
#pragma once

#include <string>
#include <vector>

namespace wine {

// Extra drives ("d:/media/data"), in the order of the dosdevices listing.
extern std::vector<std::string> DriveMap;

// Empties DriveMap and fills it from the listing of the prefix's dosdevices, run through the Unix
// bridge.
void LoadDriveMap();
// The Unix path of a Windows path; lists the drives first when they have not been listed yet.
std::string ToUnixPath(const std::string& path);

}  // namespace wine
