#include "app/keyboard_static_win.h"

namespace app {
namespace {

// The control's own window procedure, kept on the control while it is subclassed.
constexpr wchar_t kOriginalProc[] = L"LumoraStaticProc";

bool IsClickKey(WPARAM key) { return key == VK_SPACE || key == VK_RETURN; }

LRESULT CallOriginal(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(::GetPropW(control, kOriginalProc));
    return original ? ::CallWindowProcW(original, control, message, wParam, lParam)
                    : ::DefWindowProcW(control, message, wParam, lParam);
}

// Around the text of a text control, which may be smaller than the control (and the window may
// cut the control off); around the whole client area of a picture.
RECT FocusRect(HWND control, HDC dc) {
    RECT client{};
    ::GetClientRect(control, &client);
    wchar_t text[64] = {};
    const int length = ::GetWindowTextW(control, text, 64);
    if (length == 0) return client;
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    const HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    RECT textRect = client;
    ::DrawTextW(dc, text, length, &textRect, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    if (oldFont) ::SelectObject(dc, oldFont);
    ::InflateRect(&textRect, 1, 1);
    RECT focus{};
    ::IntersectRect(&focus, &textRect, &client);
    return focus;
}

void Paint(HWND control) {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(control, &paint);
    // The control paints into this DC, clipped to what needs painting, so that the XOR of the
    // focus rectangle lands on freshly drawn pixels only.
    CallOriginal(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const bool cuesHidden = ::SendMessageW(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS;
    if (::GetFocus() == control && !cuesHidden) {
        const RECT focus = FocusRect(control, dc);
        ::DrawFocusRect(dc, &focus);
    }
    ::EndPaint(control, &paint);
}

LRESULT CALLBACK KeyboardStaticProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE: {
            // Space and Enter come to the control instead of the dialog, which would take Enter
            // for its default button.
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            const LRESULT code = CallOriginal(control, message, wParam, lParam);
            const bool clickKey = msg && msg->message == WM_KEYDOWN && IsClickKey(msg->wParam);
            return clickKey ? code | DLGC_WANTMESSAGE : code;
        }
        case WM_KEYDOWN:
            // A held key repeats: only its first press clicks.
            if (!IsClickKey(wParam) || (lParam & (1 << 30))) break;
            ::SendMessageW(::GetParent(control), WM_COMMAND,
                           MAKEWPARAM(::GetDlgCtrlID(control), STN_CLICKED),
                           reinterpret_cast<LPARAM>(control));
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE: {
            const LRESULT result = CallOriginal(control, message, wParam, lParam);
            ::InvalidateRect(control, nullptr, TRUE);
            return result;
        }
        case WM_PAINT:
            Paint(control);
            return 0;
        case WM_NCDESTROY: {
            const auto original = reinterpret_cast<WNDPROC>(::RemovePropW(control, kOriginalProc));
            if (original) {
                ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            }
            return original ? ::CallWindowProcW(original, control, message, wParam, lParam)
                            : ::DefWindowProcW(control, message, wParam, lParam);
        }
        default:
            break;
    }
    return CallOriginal(control, message, wParam, lParam);
}

}  // namespace

void MakeKeyboardClickable(HWND control) {
    if (!control || ::GetPropW(control, kOriginalProc)) return;
    const LONG_PTR original = ::GetWindowLongPtrW(control, GWLP_WNDPROC);
    if (!::SetPropW(control, kOriginalProc, reinterpret_cast<HANDLE>(original))) return;
    ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeyboardStaticProc));
}

}  // namespace app
