// Choosing the shortcut's icon: a click on the picture, or a dropped file.
#pragma once

#include "app/icon_command.h"

namespace app {

// The picture's click handler: the open dialog, then UseIconSource.
void ChooseIcon();
// Acts on IconSource by its kind: an image is converted, an icon shown, anything else beeps.
void UseIconSource(IconFileKind kind);

}  // namespace app
