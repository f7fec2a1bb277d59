#include "wine/wine_home.h"

namespace wine {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// "\??\Z:\home\user" as Windows sees it, "z:\home\user"; empty unless it lies on drive z:.
std::string WindowsViewOnZ(std::string_view ntPath) {
    if (ntPath.substr(0, 4) == "\\??\\") ntPath.remove_prefix(4);
    if (ntPath.size() < 3 || LowerAscii(ntPath[0]) != 'z' || ntPath.substr(1, 2) != ":\\")
        return {};
    while (ntPath.size() > 3 && ntPath.back() == '\\') ntPath.remove_suffix(1);
    if (ntPath.size() == 3) return {};  // the Unix root is nobody's home
    std::string view(ntPath);
    view[0] = 'z';
    return view;
}

std::string UnixViewOf(std::string_view windowsViewOnZ) {
    std::string unixPath(windowsViewOnZ.substr(2));
    for (char& c : unixPath)
        if (c == '\\') c = '/';
    return unixPath;
}

std::string_view WithoutTrailingSlashes(std::string_view unixPath) {
    while (unixPath.size() > 1 && unixPath.back() == '/') unixPath.remove_suffix(1);
    return unixPath;
}

std::string WindowsViewOf(std::string_view unixPath) {
    std::string windowsPath = "z:";
    windowsPath += unixPath;
    for (char& c : windowsPath)
        if (c == '/') c = '\\';
    return windowsPath;
}

// What Wine and the Base Directory rules put in a home when nothing else is said.
void PlaceInHome(WineHome& home) {
    home.unixPrefix = home.unixHome + "/.wine";
    home.windowsPrefix = home.windowsHome + "\\.wine";
    home.unixDataHome = home.unixHome + "/.local/share";
    home.windowsDataHome = home.windowsHome + "\\.local\\share";
}

}  // namespace

WineHome WineHomeOf(std::string_view userName) {
    const std::string user(userName);
    WineHome home;
    home.unixHome = "/home/" + user;
    home.windowsHome = "z:\\home\\" + user;
    PlaceInHome(home);
    return home;
}

WineHome SessionWineHome(std::string_view wineHomeDir, std::string_view wineConfigDir,
                         std::string_view winePrefix, std::string_view userName,
                         std::string_view xdgDataHome) {
    WineHome home = WineHomeOf(userName);
    if (std::string windowsHome = WindowsViewOnZ(wineHomeDir); !windowsHome.empty()) {
        home.unixHome = UnixViewOf(windowsHome);
        home.windowsHome = std::move(windowsHome);
        PlaceInHome(home);
    }
    winePrefix = WithoutTrailingSlashes(winePrefix);
    if (std::string windowsPrefix = WindowsViewOnZ(wineConfigDir); !windowsPrefix.empty()) {
        home.unixPrefix = UnixViewOf(windowsPrefix);
        home.windowsPrefix = std::move(windowsPrefix);
    } else if (winePrefix.size() > 1 && winePrefix.front() == '/') {
        home.unixPrefix = std::string(winePrefix);
        home.windowsPrefix = WindowsViewOf(winePrefix);
    }
    xdgDataHome = WithoutTrailingSlashes(xdgDataHome);
    if (xdgDataHome.size() > 1 && xdgDataHome.front() == '/') {
        home.unixDataHome = std::string(xdgDataHome);
        home.windowsDataHome = WindowsViewOf(xdgDataHome);
    }
    return home;
}

bool IsDefaultPrefix(const WineHome& home) { return home.unixPrefix == home.unixHome + "/.wine"; }

std::string DesktopEntryFolder(const WineHome& home) {
    return home.windowsDataHome + "\\applications\\";
}

std::string IconFolder(const WineHome& home) { return home.windowsDataHome + "\\icons\\"; }

}  // namespace wine
