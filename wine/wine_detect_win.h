// Are we running under Wine, which version, and how Wine itself names files on either side.
#pragma once

#include <optional>
#include <string>

namespace wine {

// True when the loaded ntdll.dll exports wine_get_version (looked up, never called).
bool IsWine();
// The text wine_get_version returns, untouched; empty when not under Wine.
std::string WineVersion();

// Wine's own translations (kernel32's wine_get_unix_file_name and wine_get_dos_file_name, looked
// up at run time): they know every drive of the running prefix and find names in any letter case.
// A Windows path whose last part does not exist yet translates too. Empty when not under Wine or
// when Wine cannot place the path.
std::optional<std::string> WineUnixFileName(const std::string& windowsPath);
std::optional<std::string> WineDosFileName(const std::string& unixPath);

}  // namespace wine
