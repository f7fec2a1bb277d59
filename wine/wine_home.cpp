#include "wine/wine_home.h"

namespace wine {

WineHome WineHomeOf(std::string_view userName) {
    const std::string user(userName);
    WineHome home;
    home.unixHome = "/home/" + user;
    home.unixPrefix = home.unixHome + "/.wine";
    home.windowsHome = "z:\\home\\" + user;
    home.windowsPrefix = home.windowsHome + "\\.wine";
    return home;
}

std::string UnixHomeFile(const WineHome& home, std::string_view name) {
    return home.unixHome + "/" + std::string(name);
}

std::string WindowsHomeFile(const WineHome& home, std::string_view name) {
    return home.windowsHome + "\\" + std::string(name);
}

std::string DesktopEntryFolder(const WineHome& home) {
    return home.windowsHome + "\\.local\\share\\applications\\";
}

std::string IconFolder(const WineHome& home) {
    return home.windowsHome + "\\.local\\share\\icons\\";
}

}  // namespace wine
