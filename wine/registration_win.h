// Registers the program with the Linux desktop when it runs under Wine.
#pragma once

#include <string>

namespace wine {

// Does nothing outside Wine. Under Wine: exports the icon and marks the program with it at every
// call, then, unless the desktop entry exists already, writes it (show: a menu entry with an Exec
// line, else a hidden one; a hidden entry does not count when a menu entry is asked for).
// Interactive: asks first, offers to move the program to C:\Apps, reports a failed entry, and after
// a move relaunches from there by ending this process (exit code 12345), once beforeRelaunch
// (when given) has ended the caller's work in progress. Silent: shows nothing and always returns.
void RegisterLinuxApp(bool interactive, bool show, const std::string& alternativeName,
                      void (*beforeRelaunch)() = nullptr);

// True when the program's entry is a menu entry (an Exec line, not hidden).
bool LinuxMenuEntryExists();
// Takes the program out of the applications menu: the hidden entry takes the menu entry's place,
// so the window keeps its icon.
void UnregisterLinuxApp();

}  // namespace wine
