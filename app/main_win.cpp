// Entry point of Lumora-builder.exe. The command line is not read.
#include <windows.h>

#include "app/startup_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return app::RunStartup(); }
