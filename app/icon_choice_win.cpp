#include "app/icon_choice_win.h"

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "app/icon_convert_win.h"
#include "app/icon_preview_win.h"
#include "app/state_win.h"
#include "host/common_dialog_win.h"
#include "host/deferred_win.h"
#include "host/text_encoding_win.h"

namespace app {
namespace {

// Centres the dialog, readies the conversion as it opens, and at its OK starts converting a
// chosen picture while the dialog closes, which takes Wine a few dozen milliseconds.
UINT_PTR CALLBACK IconDialogHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT code = message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam)->code : 0;
    if (code == CDN_INITDONE) PrepareIconConversion();
    if (code == CDN_FILEOK) {
        // The dialog has put the chosen path where it returns it (the dialog's own
        // CDM_GETFILEPATH answer is wrong under Wine for a typed full path).
        const std::string path =
            host::Narrow(reinterpret_cast<const OFNOTIFYW*>(lParam)->lpOFN->lpstrFile);
        if (IconFileKindOf(path) == IconFileKind::Image) StartIconConversionEarly(path);
    }
    return host::CentringHook(hook, message, wParam, lParam);
}

}  // namespace

void UseIconFile(const std::string& path, IconFileKind kind) {
    switch (kind) {
        case IconFileKind::Image:
            ConvertIcon(path);
            break;
        case IconFileKind::Icon:
            DropPendingIconConversions();
            IconSource = path;
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
    ofn.lpstrFilter = L"Image\0*.ico;*.jpg;*.jpeg;*.png;*.bmp\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = host::kFileBufferChars;
    ofn.lpstrInitialDir = initialFolder.c_str();
    ofn.lpstrTitle = L"Select shortcut icon";
    ofn.Flags =
        OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_EXPLORER;
    ofn.lpfnHook = IconDialogHook;
    file.resize(host::deferred::GetOpenFileNameW(&ofn) ? ::wcslen(file.c_str()) : 0);

    // A cancelled dialog keeps the previous choice, which the picture still shows.
    if (const std::string path = host::Narrow(file); !path.empty()) {
        // A name of no known kind is stored as the choice all the same: the picture keeps its
        // icon, and Build then uses that name.
        const IconFileKind kind = IconFileKindOf(path);
        if (kind == IconFileKind::Other) {
            DropPendingIconConversions();
            IconSource = path;
        }
        UseIconFile(path, kind);
    }
    // Unless the conversion of the chosen picture took it over.
    DropEarlyIconConversion();
}

}  // namespace app
