// The dialog's position, kept between runs in <local app data>\<program name>.pos.
#pragma once

#include <windows.h>

#include <string>

namespace host {

std::string LocalAppDataFolder();
void SaveWindowPosition(HWND dialog, const std::string& programName);
void RestoreWindowPosition(HWND dialog, const std::string& programName);

}  // namespace host
