#include "wine/desktop_entry_win.h"

#include "host/whole_file_win.h"
#include "imaging/icon_export_win.h"
#include "wine/custom_icon.h"
#include "wine/desktop_entry.h"
#include "wine/desktop_name.h"
#include "wine/drive_map_win.h"
#include "wine/unix_bridge_win.h"
#include "wine/wine_home_win.h"

namespace wine {

std::string DesktopEntryPath(const std::string& target, const std::string& alternativeName) {
    const std::string name = DesktopName(alternativeName.empty() ? target : alternativeName);
    const WineHome home = CurrentWineHome();
    return DesktopEntryFolder(home) + DesktopEntryFileName(name, home);
}

std::string ExportDesktopIcon(const std::string& target) {
    const WineHome home = CurrentWineHome();
    const std::string folder = IconFolder(home);
    MakeDataFolder(home, folder);
    // The entry finds its icon by this name in the user's icon folder. Every prefix shares it: the
    // same program has the same icon, and an exported icon is never rewritten.
    return imaging::ExportProgramIcon(target, folder, DesktopName(target));
}

void SetCustomIcon(const std::string& file, const std::string& icon) {
    // Without an exported icon there is nothing to show; a mark would name no file.
    if (icon.empty()) return;
    RunUnixCommand(GioCustomIconCommand(ToUnixPath(file), ToUnixPath(icon)));
}

int CreateDesktopEntry(const std::string& target, bool show, const std::string& alternativeName) {
    const std::string icon = ExportDesktopIcon(target);
    SetCustomIcon(target, icon);
    const std::string entryPath = DesktopEntryPath(target, alternativeName);
    const WineHome home = CurrentWineHome();
    DesktopEntryFields fields;
    fields.targetPath = target;
    fields.unixPrefix = home.unixPrefix;
    // An icon-theme name: the export names its files so, in the icon folder and in the theme.
    fields.iconName = DesktopName(target);
    fields.show = show;
    // Replaced whole: a half-written entry would count as a registration.
    if (!MakeDataFolder(home, DesktopEntryFolder(home)) ||
        !host::ReplaceWholeFile(entryPath, DesktopEntryText(fields))) {
        return 0;
    }
    SetCustomIcon(entryPath, icon);
    return 1;
}

}  // namespace wine
