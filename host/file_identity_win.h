// Whether two paths name the same file or folder on disk.
#pragma once

#include <string>

namespace host {

// True when both paths open and lead to one file or folder: any letter case, "\\?\" forms, and
// other drives onto the same place (under Wine, Z:\...\drive_c\x is C:\x) all count as the same.
// False when either cannot be opened.
bool SameFile(const std::string& first, const std::string& second);

}  // namespace host
