#include "app/dialog_ops_win.h"

#include <windows.h>

#include "app/dialog_ids.h"
#include "app/state_win.h"
#include "host/path_text.h"
#include "host/text_encoding_win.h"

namespace app {

void SelectFolder() {
    ChosenFolder = host::WithOneTrailingBackslash(ChosenFolder);
    ::SetDlgItemTextW(MainDialog, kFolderEntryId, host::Widen(ChosenFolder).c_str());
    ::EnableWindow(::GetDlgItem(MainDialog, kBuildButtonId), TRUE);
}

void RefreshIconPreview() {
    // The old icon is destroyed only after the control has let go of it.
    host::UniqueIcon icon(static_cast<HICON>(::LoadImageW(
        nullptr, host::Widen(IconSource).c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
    ::SendDlgItemMessageW(MainDialog, kIconPictureId, STM_SETIMAGE, IMAGE_ICON,
                          reinterpret_cast<LPARAM>(icon.Get()));
    PreviewIcon = std::move(icon);
}

}  // namespace app
