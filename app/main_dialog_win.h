// The main dialog: its procedure and the two ways to show it.
#pragma once

#include <windows.h>

namespace app {

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Builds the dialog from its in-memory template and runs it modally; answers EndDialog's result.
// With silentRegistration, the start-up's silent Linux registration starts once it is visible.
int ShowMainDialog(bool silentRegistration = false);
// The same dialog, modeless and visible (for callers that run their own message loop).
HWND CreateMainDialog();

}  // namespace app
