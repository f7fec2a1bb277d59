// The Wine home of the running process.
#pragma once

#include "wine/wine_home.h"

namespace wine {

// From the running Wine session (WINEHOMEDIR, WINECONFIGDIR, WINEPREFIX), the Windows user name
// (USERNAME) for what it does not say; asked anew at each call.
WineHome CurrentWineHome();

}  // namespace wine
