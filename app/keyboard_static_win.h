// Clickable static controls (SS_NOTIFY) that the keyboard can use like buttons.
#pragma once

#include <windows.h>

namespace app {

// From now on the control, a tab stop, shows a focus rectangle while it has the focus (unless
// the window hides keyboard cues, as after mouse use) and takes Space and Enter as a click: its
// parent gets the same WM_COMMAND as from a mouse click.
void MakeKeyboardClickable(HWND control);

}  // namespace app
