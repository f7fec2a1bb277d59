#include "wine/wine_home_win.h"

#include <windows.h>

#include <chrono>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "wine/shell_quote.h"
#include "wine/unix_bridge_win.h"

namespace wine {
namespace {

constexpr std::chrono::seconds kMakeLimit{10};

}  // namespace

WineHome CurrentWineHome() {
    return SessionWineHome(
        host::EnvironmentVariable("WINEHOMEDIR"), host::EnvironmentVariable("WINECONFIGDIR"),
        host::EnvironmentVariable("WINEPREFIX"), host::EnvironmentVariable("USERNAME"),
        host::EnvironmentVariable("XDG_DATA_HOME"));
}

bool MakeDataFolder(const WineHome& home, const std::string& folder) {
    if (host::FileExists(folder)) return true;
    // Wine makes folders 0777 less the umask; only the Unix side can make them private. Asked
    // only when the data home is missing, as on a fresh account.
    if (!host::FileExists(home.windowsDataHome)) {
        RunUnix("umask 077 && mkdir -p -- " + ShellQuote(home.unixDataHome), kMakeLimit);
    }
    if (!host::FileExists(home.windowsDataHome)) return false;
    return host::MakeFolders(folder);
}

}  // namespace wine
