#include "host/comctl_win.h"

#include <windows.h>
#include <commctrl.h>

// Placeholders until common-controls initialisation lands.
double GETSYSFILEVER(const char*) { return 0; }
double INITCOMCTL32(std::int32_t) {
    ::InitCommonControls();
    return 0;
}
