#include "host/window_position_win.h"

namespace host {

// Placeholders until position persistence lands.
std::string LocalAppDataFolder() { return {}; }
void SaveWindowPosition(HWND, const std::string&) {}
void RestoreWindowPosition(HWND, const std::string&) {}

}  // namespace host
