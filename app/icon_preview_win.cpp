#include "app/icon_preview_win.h"

#include <windows.h>

#include <utility>

#include "app/dialog_ids.h"
#include "app/state_win.h"
#include "host/dpi_win.h"
#include "imaging/icon_file_win.h"

namespace app {

void RefreshIconPreview() { RefreshIconPreview(host::WindowDpi(MainDialog)); }

namespace {

void Show(host::UniqueIcon icon) {
    // The old icon is destroyed only after the control has let go of it.
    ::SendDlgItemMessageW(MainDialog, kIconPictureId, STM_SETIMAGE, IMAGE_ICON,
                          reinterpret_cast<LPARAM>(icon.Get()));
    PreviewIcon = std::move(icon);
}

}  // namespace

void RefreshIconPreview(UINT dpi) {
    Show(imaging::LoadIconFile(IconSource, host::SystemMetricForDpi(SM_CXICON, dpi)));
}

int IconPreviewPixels() { return host::SystemMetricForDpi(SM_CXICON, host::WindowDpi(MainDialog)); }

void ShowIconPreview(host::UniqueIcon icon, int pixels) {
    if (pixels != IconPreviewPixels()) {
        RefreshIconPreview();
        return;
    }
    Show(std::move(icon));
}

}  // namespace app
