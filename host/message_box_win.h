// The one way the program shows a message box.
#pragma once

#include <windows.h>

#include <string>

namespace host {

// MessageBoxW with UTF-8 texts; the caption is the program name unless one is given. The
// button the user pressed (IDOK, IDYES...), 0 when the box could not be shown.
int ShowMessageBox(HWND owner, const std::string& text, UINT type, const std::string& caption = {});

}  // namespace host
