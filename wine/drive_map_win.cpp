#include "wine/drive_map_win.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "host/text_encoding_win.h"
#include "host/unique_win.h"
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

// The volume and file index of a folder: equal for two names of the same folder.
std::optional<std::pair<DWORD, ULONGLONG>> FolderIdentity(const std::string& path) {
    const host::UniqueFile folder(::CreateFileW(
        host::Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!folder || !::GetFileInformationByHandle(folder.Get(), &information)) return std::nullopt;
    return std::pair{information.dwVolumeSerialNumber,
                     ULONGLONG{information.nFileIndexHigh} << 32 | information.nFileIndexLow};
}

// c: leads to the prefix's drive_c in every prefix Wine makes, but the user may point it
// elsewhere; asked once.
bool CLeadsToDriveC(const WineHome& home) {
    static const bool leads = [&home] {
        const auto drive = FolderIdentity("C:\\");
        return drive && drive == FolderIdentity(home.windowsPrefix + "\\drive_c");
    }();
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
