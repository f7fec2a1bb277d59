// The freedesktop desktop entry that ties the program's window to its icon on the Linux desktop.
#pragma once

#include <string>
#include <string_view>

#include "wine/wine_home.h"

namespace wine {

// The entry's file name for a DesktopName in the session's prefix. The default prefix keeps
// wine-<name>.desktop; any other adds eight hex digits of a hash of its Unix path
// (wine-<name>-1a2b3c4d.desktop), so that a copy in another prefix never takes the entry of this
// one for its own, nor rewrites it.
std::string DesktopEntryFileName(std::string_view desktopName, const WineHome& home);

// The Windows program path as one argument of an Exec line, escaped for the Desktop Entry
// format (string-value escaping over Exec quoting) so that the desktop hands wine exactly that
// path. Paths of letters, digits, dots, hyphens, colons, backslashes and spaces keep the classic
// form: every backslash written as four, every space preceded by two backslashes.
std::string ExecEscape(std::string_view windowsPath);

struct DesktopEntryFields {
    std::string targetPath;  // Windows path of the program the entry is for
    std::string unixPrefix;  // the Wine prefix the Exec line starts the program in
    std::string iconName;    // icon-theme name: the icon file's name without folder and extension
    bool show = false;       // true: a menu entry with an Exec line; false: NoDisplay=true
};

// The eight lines of the entry, UTF-8, each ended by LF as the Desktop Entry format requires.
// The Exec line is env WINEPREFIX=<prefix> wine <target>: a prefix that needs no escaping keeps
// the form Wine's own entries use (WINEPREFIX="/home/u/.wine"); any other is quoted whole by the
// Desktop Entry rules, as the target is, so the desktop hands env exactly that path.
std::string DesktopEntryText(const DesktopEntryFields& fields);

// What an entry file registers. None: no [Desktop Entry] group (an empty or foreign file);
// Shown: the group has an Exec key and neither NoDisplay nor Hidden is true; Hidden otherwise.
enum class EntryKind { None, Hidden, Shown };
EntryKind DesktopEntryKind(std::string_view text);

}  // namespace wine
