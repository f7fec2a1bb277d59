#include "wine/wine_home_win.h"

#include "host/program_win.h"

namespace wine {

WineHome CurrentWineHome() { return WineHomeOf(host::EnvironmentVariable("USERNAME")); }

}  // namespace wine
