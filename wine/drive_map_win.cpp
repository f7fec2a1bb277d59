#include "wine/drive_map_win.h"

#include "wine/drive_map.h"
#include "wine/unix_bridge_win.h"
#include "wine/wine_home_win.h"

namespace wine {

std::vector<std::string> DriveMap;

namespace {

// Set once a listing came back. A prefix without extra drives gives an empty map too, and must
// not cost a new listing (seconds of waiting) on every translation; only a failed listing is
// tried again.
bool driveMapListed = false;

}  // namespace

void LoadDriveMap() {
    DriveMap.clear();
    const std::string listing = RunUnixCaptured(DriveListingCommand(CurrentWineHome()));
    driveMapListed = !listing.empty();
    DriveMap = ParseDriveListing(listing);
}

std::string ToUnixPath(const std::string& path) {
    if (!driveMapListed) LoadDriveMap();
    return ToUnixPath(path, DriveMap, CurrentWineHome());
}

}  // namespace wine
