// Where the user's Linux home and Wine prefix are, seen from Unix and from Windows. Pure: the one
// place that spells them; every file the program keeps in the home is named from here.
#pragma once

#include <string>
#include <string_view>

namespace wine {

struct WineHome {
    std::string unixHome;       // "/home/<user>"
    std::string unixPrefix;     // "/home/<user>/.wine"
    std::string windowsHome;    // "z:\home\<user>": the Unix root is Wine's drive z:
    std::string windowsPrefix;  // "z:\home\<user>\.wine"
    // The freedesktop data home: XDG_DATA_HOME, else "<home>/.local/share"; both views.
    std::string unixDataHome;
    std::string windowsDataHome;
};

// The home /home/<user> of the Windows user name, with the prefix .wine inside it and the data
// home .local/share.
WineHome WineHomeOf(std::string_view userName);

// The home and prefix of the running Wine session. Wine gives every process WINEHOMEDIR and
// WINECONFIGDIR as NT paths ("\??\Z:\home\user", read through z:, the Unix root) and passes
// WINEPREFIX (a Unix path) through. Whatever the session leaves unsaid comes from WineHomeOf: the
// prefix from the home, the home from the user name. XDG_DATA_HOME (a Unix path, passed through
// too) names the data home; the Base Directory rules ignore a value that is not absolute.
WineHome SessionWineHome(std::string_view wineHomeDir, std::string_view wineConfigDir,
                         std::string_view winePrefix, std::string_view userName,
                         std::string_view xdgDataHome = {});

// True for the prefix Wine uses when none is named: .wine in the home.
bool IsDefaultPrefix(const WineHome& home);

// The freedesktop folders of the data home, Windows view, each ending in '\'.
std::string DesktopEntryFolder(const WineHome& home);
std::string IconFolder(const WineHome& home);

}  // namespace wine
