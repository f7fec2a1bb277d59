#include "wine/wine_home_win.h"

#include "host/program_win.h"

namespace wine {

WineHome CurrentWineHome() {
    return SessionWineHome(
        host::EnvironmentVariable("WINEHOMEDIR"), host::EnvironmentVariable("WINECONFIGDIR"),
        host::EnvironmentVariable("WINEPREFIX"), host::EnvironmentVariable("USERNAME"));
}

}  // namespace wine
