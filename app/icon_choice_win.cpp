#include "app/icon_choice_win.h"

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "app/icon_convert_win.h"
#include "app/icon_preview_win.h"
#include "app/state_win.h"
#include "host/common_dialog_win.h"
#include "host/text_encoding_win.h"

namespace app {

void UseIconSource(IconFileKind kind) {
    switch (kind) {
        case IconFileKind::Image:
            ConvertIcon();
            break;
        case IconFileKind::Icon:
            RefreshIconPreview();
            break;
        case IconFileKind::Other:
            ::MessageBeep(0);
            break;
    }
}

void ChooseIcon() {
    std::wstring file(host::kFileBufferChars, L'\0');
    const std::wstring initialFolder = host::CurrentDirectory();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = MainDialog;
    ofn.lpstrFilter = L"Image\0*.ico;*.jpg;*.png\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = host::kFileBufferChars;
    ofn.lpstrInitialDir = initialFolder.c_str();
    ofn.lpstrTitle = L"Select shortcut icon";
    ofn.Flags =
        OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_EXPLORER;
    ofn.lpfnHook = host::CentringHook;
    file.resize(::GetOpenFileNameW(&ofn) ? ::wcslen(file.c_str()) : 0);

    // Stored even when cancelled: the picture keeps its icon, but Build then uses none.
    IconSource = host::Narrow(file);
    if (!IconSource.empty()) UseIconSource(IconFileKindOf(IconSource));
}

}  // namespace app
