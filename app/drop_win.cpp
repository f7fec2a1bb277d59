#include "app/drop_win.h"

namespace app {

// Placeholder: the drop classification lands with the main dialog.
void HandleDroppedPath(const std::string&) {}

void DropFileC::AcceptDrop(HWND, std::string path) { HandleDroppedPath(path); }

}  // namespace app
