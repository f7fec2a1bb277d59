// Resource-only test module: the code is a bare entry point, the icons are in multi_icon.rc.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
