// The floor for start-up timings: the main dialog's template and icons, shown modally, with none
// of the program's start-up work. Closes like the real dialog (Escape, the close box, WM_CLOSE).
#include <windows.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "app/dialog_template.h"
#include "res/version.h"

namespace {

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            const HINSTANCE instance = ::GetModuleHandleW(nullptr);
            for (const auto& [which, size] : {std::pair{ICON_BIG, 32}, std::pair{ICON_SMALL, 16}}) {
                ::SendMessageW(dialog, WM_SETICON, which,
                               reinterpret_cast<LPARAM>(
                                   ::LoadImageW(instance, L"ICO1", IMAGE_ICON, size, size, 0)));
            }
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) ::EndDialog(dialog, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Captioned like the program: its file name without extension, then the version.
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::u16string caption(path, path + ::wcslen(path));
    caption = caption.substr(caption.find_last_of(u"\\/") + 1);
    caption = caption.substr(0, caption.rfind(u'.')) + u" " LUMORA_VERSION;
    const std::vector<std::uint8_t> bytes = app::BuildMainDialogTemplate(caption);
    return static_cast<int>(::DialogBoxIndirectParamW(
        instance, reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), nullptr, BareDialogProc, 0));
}
