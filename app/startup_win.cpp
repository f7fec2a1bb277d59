#include "app/startup_win.h"

#include <windows.h>

#include "host/program_win.h"
#include "host/text_encoding_win.h"

namespace app {

int RunStartup() {
    // Placeholder until the main dialog lands.
    const std::wstring caption = host::Widen(host::ProgramName() + " 1.6");
    ::MessageBoxW(nullptr, L"Lumora-builder", caption.c_str(), MB_OK);
    return 0;
}

}  // namespace app
