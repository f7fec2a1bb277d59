// Under Wine, the window menu item that puts the program into the Linux applications menu or
// takes it out again.
#pragma once

#include <windows.h>

namespace app {

// The item's command: below 0xF000, low four bits clear, as system commands must be.
inline constexpr UINT kLinuxMenuCommand = 0x0110;

// Appends the item to the dialog's window menu; nothing outside Wine.
void AddLinuxMenuItem(HWND dialog);
// Labels the item for what it will do, as the window menu opens.
void UpdateLinuxMenuItem(HWND dialog);
// Runs the item: the interactive registration with a menu entry, or, when the menu entry
// exists, the hidden entry back in its place.
void RunLinuxMenuItem();

}  // namespace app
