#include "app/icon_preview_win.h"

#include <windows.h>

#include <utility>

#include "app/dialog_ids.h"
#include "app/state_win.h"
#include "imaging/icon_file_win.h"

namespace app {
namespace {

constexpr int kPreviewPixels = 32;

// The old icon is destroyed only after the control has let go of it.
void ShowPreview(host::UniqueIcon icon) {
    ::SendDlgItemMessageW(MainDialog, kIconPictureId, STM_SETIMAGE, IMAGE_ICON,
                          reinterpret_cast<LPARAM>(icon.Get()));
    PreviewIcon = std::move(icon);
}

}  // namespace

void RefreshIconPreview() { ShowPreview(imaging::LoadIconFile(IconSource, kPreviewPixels)); }

void ClearIconPreview() { ShowPreview({}); }

}  // namespace app
