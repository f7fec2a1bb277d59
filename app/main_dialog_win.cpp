#include "app/main_dialog_win.h"

#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include <string>
#include <utility>
#include <vector>

#include "app/build_win.h"
#include "app/dialog_ids.h"
#include "app/dialog_template.h"
#include "app/drop_win.h"
#include "app/folder_choice_win.h"
#include "app/icon_choice_win.h"
#include "app/icon_convert_win.h"
#include "app/icon_preview_win.h"
#include "app/keyboard_static_win.h"
#include "app/linux_menu_win.h"
#include "app/linux_registration_win.h"
#include "app/state_win.h"
#include "host/dpi_win.h"
#include "host/message_box_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/wait_win.h"
#include "host/window_position_win.h"
#include "res/version.h"

namespace app {
namespace {

constexpr wchar_t kHelpPage[] = L"https://lumora-project.org/builder";
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
// Posted when the dialog first shows, if it is to start the silent registration then.
constexpr UINT kShownMessage = WM_APP + 1;

// The window icons belong to the dialog: loaded at initialisation, destroyed with it.
host::UniqueIcon bigIcon;
host::UniqueIcon smallIcon;

HICON LoadProgramIcon(int size) {
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), L"ICO1", IMAGE_ICON, size, size, 0));
}

// The window icons at the system's big and small icon sizes for the DPI (32 and 16 at 96 dpi).
// The old ones are destroyed only once the window has the new ones.
void SetWindowIcons(HWND dialog, UINT dpi) {
    host::UniqueIcon newBig(LoadProgramIcon(host::SystemMetricForDpi(SM_CXICON, dpi)));
    host::UniqueIcon newSmall(LoadProgramIcon(host::SystemMetricForDpi(SM_CXSMICON, dpi)));
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(newBig.Get()));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(newSmall.Get()));
    bigIcon = std::move(newBig);
    smallIcon = std::move(newSmall);
}

std::wstring DroppedPath(HDROP drop, UINT index) {
    // Ask for the length first: dropped paths may be longer than MAX_PATH.
    const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(::DragQueryFileW(drop, index, path.data(), length + 1));
    return path;
}

INT_PTR OnInitDialog(HWND dialog, LPARAM silentRegistration) {
    MainDialog = dialog;
    ::SetWindowLongPtrW(dialog, DWLP_USER, silentRegistration);
    SetWindowIcons(dialog, host::WindowDpi(dialog));
    // Build waits for a folder.
    ::EnableWindow(::GetDlgItem(dialog, kBuildButtonId), FALSE);
    MakeKeyboardClickable(::GetDlgItem(dialog, kIconPictureId));
    MakeKeyboardClickable(::GetDlgItem(dialog, kHelpLinkId));
    if (!DropHandler) DropHandler = std::make_unique<DropFileC>();
    ::DragAcceptFiles(dialog, TRUE);
    host::RestoreWindowPosition(dialog, host::ProgramName());
    AddLinuxMenuItem(dialog);
    // What queued up meanwhile is handled before the dialog shows.
    host::WaitDispatching(nullptr, std::chrono::milliseconds(0));
    return TRUE;  // let the dialog manager give the focus to the first tab stop
}

INT_PTR OnShowWindow(HWND dialog, bool shown) {
    // A modal dialog shows once its queue is first empty, so a message posted during the
    // initialisation would run before it shows; posted from here it runs once it is visible.
    if (shown && ::GetWindowLongPtrW(dialog, DWLP_USER) != 0) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
        ::PostMessageW(dialog, kShownMessage, 0, 0);
    }
    return 0;
}

INT_PTR OnDropFiles(HWND dialog, HDROP drop) {
    const host::DropScope finish(drop);
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (count > 1) {
        host::ShowMessageBox(dialog, "Please drag and drop only 1 folder or 1 jpeg image",
                             MB_OK | MB_ICONEXCLAMATION, "Error");
        return 0;
    }
    for (UINT i = 0; i < count; ++i) {
        if (DropHandler) DropHandler->AcceptDrop(dialog, host::Narrow(DroppedPath(drop, i)));
    }
    return 0;
}

INT_PTR OnDestroy(HWND dialog) {
    AbandonIconConversions();
    ::DragAcceptFiles(dialog, FALSE);
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, 0);
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, 0);
    bigIcon.Reset();
    smallIcon.Reset();
    if (MainDialog == dialog) MainDialog = nullptr;
    return 0;
}

// The window moved to a screen of another DPI (or the user changed it): the icons are loaded
// again for the new DPI, and the window takes the place the system proposes. The dialog manager
// then scales the controls.
INT_PTR OnDpiChanged(HWND dialog, UINT dpi, const RECT* suggested) {
    SetWindowIcons(dialog, dpi);
    if (dialog == MainDialog) RefreshIconPreview(dpi);
    if (suggested) {
        ::SetWindowPos(dialog, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

INT_PTR OnSysCommand(HWND dialog, WPARAM command) {
    // Every system command (move, close, minimise...) saves first; the command then runs as usual.
    host::SaveWindowPosition(dialog, host::ProgramName());
    // The low four bits of a system command are the system's own.
    if ((command & 0xFFF0) != kLinuxMenuCommand) return 0;
    RunLinuxMenuItem();
    return 1;
}

INT_PTR OnInitMenuPopup(HWND dialog, bool windowMenu) {
    if (windowMenu) UpdateLinuxMenuItem(dialog);
    return 0;
}

INT_PTR OnSetCursor(HWND dialog, HWND under, int hitTest) {
    // Working in the background, as Windows shows it: the arrow with the hourglass, over the
    // whole window but its frame, which keeps its sizing cursors.
    if (IconConversionRunning() && hitTest == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
        ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
        return 1;
    }
    const int id = ::GetDlgCtrlID(under);
    if (id != kIconPictureId && id != kHelpLinkId) return 0;
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
    return 1;
}

INT_PTR OnCtlColorStatic(HDC dc, HWND control) {
    if (::GetDlgCtrlID(control) != kHelpLinkId) return 0;
    ::SetTextColor(dc, kLinkColour);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
}

INT_PTR OnCommand(HWND dialog, int id, int notification) {
    if (notification != 0) return 0;
    switch (id) {
        case IDCANCEL:
            // Esc, the close box and Alt+F4 all come here; a conversion must not outlive the
            // window.
            AbandonIconConversions();
            ::EndDialog(dialog, 0);
            break;
        case kHelpLinkId:
            ::ShellExecuteW(nullptr, L"open", kHelpPage, nullptr, nullptr, SW_SHOW);
            break;
        case kBrowseButtonId:
            BrowseForFolder();
            break;
        case kIconPictureId:
            ChooseIcon();
            break;
        case kBuildButtonId:
            Build();
            break;
        default:
            break;
    }
    return 0;
}

INT_PTR Dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog, lParam);
        case WM_SHOWWINDOW:
            return OnShowWindow(dialog, wParam != 0);
        case kShownMessage:
            StartSilentRegistration();
            return 1;
        case WM_DROPFILES:
            return OnDropFiles(dialog, reinterpret_cast<HDROP>(wParam));
        case WM_DESTROY:
            return OnDestroy(dialog);
        case WM_SYSCOMMAND:
            return OnSysCommand(dialog, wParam);
        case WM_DPICHANGED:
            return OnDpiChanged(dialog, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        case WM_INITMENUPOPUP:
            return OnInitMenuPopup(dialog, HIWORD(lParam) != 0);
        case WM_SETCURSOR:
            return OnSetCursor(dialog, reinterpret_cast<HWND>(wParam),
                               static_cast<short>(LOWORD(lParam)));
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        default:
            return 0;
    }
}

std::vector<std::uint8_t> MainDialogTemplate() {
    const std::wstring caption = host::Widen(host::ProgramName() + " " LUMORA_VERSION);
    return BuildMainDialogTemplate(std::u16string(caption.begin(), caption.end()));
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing may unwind into user32: a failure (out of memory) leaves the message unhandled.
    try {
        return Dispatch(dialog, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

int ShowMainDialog(bool silentRegistration) {
    const std::vector<std::uint8_t> bytes = MainDialogTemplate();
    return static_cast<int>(::DialogBoxIndirectParamW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), nullptr,
        MainDialogProc, silentRegistration ? 1 : 0));
}

HWND CreateMainDialog() {
    const std::vector<std::uint8_t> bytes = MainDialogTemplate();
    HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                               reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                               nullptr, MainDialogProc, 0);
    if (dialog) ::ShowWindow(dialog, SW_SHOW);
    return dialog;
}

}  // namespace app
