// The icon shown in the dialog's picture.
#pragma once

namespace app {

// Loads IconSource as a 32 x 32 icon into PreviewIcon and shows it (empty when it cannot load).
void RefreshIconPreview();

}  // namespace app
