// The name under which a Windows program is known on the Linux desktop. Pure: the desktop entry
// and the exported icon files are both named with it and must agree.
#pragma once

#include <string>
#include <string_view>

namespace wine {

// "C:\Apps\My Tool.exe" -> "mytool", "my.tool.exe" -> "my.tool": the file name after the last
// '\' or ':' (a '/' is kept as part of the name), without its extension, spaces removed, ASCII
// lower case. Empty for an empty path. A path over 260 characters is named from its last 260; a
// name over 233 bytes (too long for "wine-<name>-<prefix tag>.desktop") is cut and given a hash
// of the whole.
std::string DesktopName(std::string_view path);

}  // namespace wine
