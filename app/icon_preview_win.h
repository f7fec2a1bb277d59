// The icon shown in the dialog's picture.
#pragma once

#include <windows.h>

namespace app {

// Loads IconSource at the system icon size for the dialog's DPI (32 x 32 at 96 dpi) into
// PreviewIcon and shows it (empty when it cannot load).
void RefreshIconPreview();
// The same at the icon size for the given DPI: a DPI change names the new one.
void RefreshIconPreview(UINT dpi);

}  // namespace app
