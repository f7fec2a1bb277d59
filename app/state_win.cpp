#include "app/state_win.h"

#include "app/drop_win.h"

namespace app {

HWND MainDialog = nullptr;
std::string ChosenFolder;
std::string IconSource;
host::UniqueIcon PreviewIcon;
std::unique_ptr<DropFileC> DropHandler;

}  // namespace app
