// Strings are UTF-8 inside the program; the wide (W) Win32 APIs are used at the boundary.
#pragma once

#include <string>
#include <string_view>

namespace host {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace host
