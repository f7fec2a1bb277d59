// The icon shown in the dialog's picture.
#pragma once

#include <windows.h>

#include "host/unique_win.h"

namespace app {

// Loads IconSource at the system icon size for the dialog's DPI (32 x 32 at 96 dpi) into
// PreviewIcon and shows it (empty when it cannot load).
void RefreshIconPreview();
// The same at the icon size for the given DPI: a DPI change names the new one.
void RefreshIconPreview(UINT dpi);
// The preview's size in pixels for the dialog's DPI now.
int IconPreviewPixels();
// Shows `icon`, made from IconSource at `pixels`; IconSource is loaded again instead when the DPI
// changed since.
void ShowIconPreview(host::UniqueIcon icon, int pixels);

}  // namespace app
