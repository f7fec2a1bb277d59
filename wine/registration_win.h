// Registers the program with the Linux desktop when it runs under Wine.
#pragma once

#include <string>

namespace wine {

// Does nothing outside Wine. Under Wine: exports the icon and marks the program with it at every
// call, then, unless the desktop entry exists already, writes it (show: a menu entry with an Exec
// line, else a hidden one). Interactive: asks first, offers to move the program to C:\Apps,
// reports a failed entry, and after a move relaunches from there by ending this process (exit
// code 12345). Silent: shows nothing and always returns.
void RegisterLinuxApp(bool interactive, bool show, const std::string& alternativeName);

}  // namespace wine
