#include "wine/drive_map_win.h"

#include <optional>

#include "host/file_identity_win.h"
#include "wine/drive_map.h"
#include "wine/unix_bridge_win.h"
#include "wine/wine_detect_win.h"
#include "wine/wine_home_win.h"

namespace wine {

std::vector<std::string> DriveMap;

namespace {

// The listing costs a command on the Unix side: it runs at most once per process, and only for
// a path on a drive other than c: and z:. A listing that failed is not repeated either.
bool driveMapListed = false;

const std::vector<std::string>& ListedDriveMap() {
    if (!driveMapListed) LoadDriveMap();
    return DriveMap;
}

// "X:\..." or "X:/...": what Wine's translation is asked about. Anything else (a path relative to
// a drive's current folder, an empty one) keeps the rules.
bool IsDriveAbsolute(const std::string& path) {
    return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

// c: leads to the prefix's drive_c in every prefix Wine makes, but the user may point it
// elsewhere; asked once.
bool CLeadsToDriveC(const WineHome& home) {
    static const bool leads = host::SameFile("C:\\", home.windowsPrefix + "\\drive_c");
    return leads;
}

}  // namespace

void LoadDriveMap() {
    driveMapListed = true;
    DriveMap = ParseDriveListing(RunUnixCaptured(DriveListingCommand(CurrentWineHome())));
}

std::string ToUnixPath(const std::string& path) {
    const WineHome home = CurrentWineHome();
    if (const std::optional<std::string> unixPath =
            IsDriveAbsolute(path) ? WineUnixFileName(path) : std::nullopt) {
        // Named as the rules below name them, so that what the program wrote before (the gio
        // marks, the desktop entry) keeps naming the same paths.
        const char drive = DosdevicesDriveOf(*unixPath, home);
        if (drive == 0) return *unixPath;
        if (drive == 'c') return ThroughDriveTarget(*unixPath, home, CLeadsToDriveC(home), {});
        return ThroughDriveTarget(*unixPath, home, false, ListedDriveMap());
    }
    static const std::vector<std::string> noDrives;
    return ToUnixPath(path, NeedsDriveMap(path) ? ListedDriveMap() : noDrives, home);
}

}  // namespace wine
