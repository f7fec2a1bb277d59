// Are we running under Wine, and which version?
#pragma once

#include <string>

namespace wine {

// True when the loaded ntdll.dll exports wine_get_version (looked up, never called).
bool IsWine();
// The text wine_get_version returns, untouched; empty when not under Wine.
std::string WineVersion();

}  // namespace wine
