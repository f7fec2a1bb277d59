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
};

// The home /home/<user> of the Windows user name, with the prefix .wine inside it.
WineHome WineHomeOf(std::string_view userName);

// A file directly in the home: "/home/<user>/<name>", "z:\home\<user>\<name>".
std::string UnixHomeFile(const WineHome& home, std::string_view name);
std::string WindowsHomeFile(const WineHome& home, std::string_view name);
// The freedesktop folders of the home, Windows view, each ending in '\'.
std::string DesktopEntryFolder(const WineHome& home);
std::string IconFolder(const WineHome& home);

}  // namespace wine
