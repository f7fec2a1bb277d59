// Wine's drive letters as Unix paths: the dosdevices listing and the path translation rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "wine/wine_home.h"

namespace wine {

// "ls -al '<prefix>/dosdevices'": the listing ParseDriveListing reads.
std::string DriveListingCommand(const WineHome& home);

// Entries "d:/media/data" from the output of DriveListingCommand, in listing order.
// The c: and z: drives and device links are left out.
std::vector<std::string> ParseDriveListing(std::string_view listing);

// The Unix path of a Windows path (backslashes or slashes, any case of drive letter), given the
// drive entries and the Wine home. Never fails: unknown forms go through the prefix's dosdevices.
std::string ToUnixPath(std::string_view path, const std::vector<std::string>& driveMap,
                       const WineHome& home);
// True when ToUnixPath would look the path's drive up in the map (not c:, not z:).
bool NeedsDriveMap(std::string_view path);

// Wine's own translation names a drive's files through the prefix's link for the drive
// ("<prefix>/dosdevices/d:/x"). The letter of that drive (lower case), or 0 for other paths.
char DosdevicesDriveOf(std::string_view unixPath, const WineHome& home);
// Such a path as ToUnixPath names the same file: through drive_c when c: leads there, through
// the drive's absolute link target when the map has one; any other path comes back unchanged.
std::string ThroughDriveTarget(std::string_view unixPath, const WineHome& home, bool cLeadsToDriveC,
                               const std::vector<std::string>& driveMap);

}  // namespace wine
