// The program-wide state: exactly the variables the tool keeps for the life of its window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "host/unique_win.h"

namespace app {

class DropFileC;

extern HWND MainDialog;                         // the one window; stored before controls exist
extern std::string ChosenFolder;                // UTF-8; ends in exactly one '\' once set
extern std::string IconSource;                  // UTF-8; after a conversion, the .ico path
extern host::UniqueIcon PreviewIcon;            // icon shown in the picture; empty for none
extern std::unique_ptr<DropFileC> DropHandler;  // created when the dialog initialises

}  // namespace app
