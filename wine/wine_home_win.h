// The Wine home of the running process.
#pragma once

#include <string>

#include "wine/wine_home.h"

namespace wine {

// From the running Wine session (WINEHOMEDIR, WINECONFIGDIR, WINEPREFIX, XDG_DATA_HOME), the
// Windows user name (USERNAME) for what it does not say; asked anew at each call.
WineHome CurrentWineHome();

// Makes sure a folder of the data home exists (Windows view, ending in '\', as DesktopEntryFolder
// and IconFolder give it): a missing data home is made first, every new level of it with mode
// 0700 as the Base Directory rules ask, then the folder itself. Existing folders are left as they
// are. True when the folder exists afterwards.
bool MakeDataFolder(const WineHome& home, const std::string& folder);

}  // namespace wine
