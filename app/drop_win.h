// Files and folders dropped on the main dialog.
#pragma once

#include <windows.h>

#include <string>

namespace app {

// Classifies one dropped path: a folder is chosen, an image converted, an .ico shown.
void HandleDroppedPath(const std::string& path);

// The drop handler object: hands each dropped path to HandleDroppedPath.
class DropFileC {
public:
    void AcceptDrop(HWND dialog, std::string path);
};

}  // namespace app
