// The Wine home of the running process.
#pragma once

#include "wine/wine_home.h"

namespace wine {

// From the Windows user name (USERNAME), asked anew at each call.
WineHome CurrentWineHome();

}  // namespace wine
