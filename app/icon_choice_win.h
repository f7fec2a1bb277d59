// Choosing the shortcut's icon: a click on the picture, or a dropped file.
#pragma once

#include <string>

#include "app/icon_command.h"

namespace app {

// The picture's click handler: the open dialog, then UseIconFile.
void ChooseIcon();
// Acts on a chosen or dropped file by its kind: an image is converted (IconSource names its .ico
// once that is whole), an icon becomes IconSource and is shown, anything else beeps.
void UseIconFile(const std::string& path, IconFileKind kind);

}  // namespace app
