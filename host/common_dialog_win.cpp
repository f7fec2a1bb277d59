#include "host/common_dialog_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include "host/text_encoding_win.h"

namespace host {
namespace {

// Centres a top-level window over its owner, or over the work area when it has none.
void CentreWindow(HWND window) {
    RECT area{};
    if (HWND owner = ::GetWindow(window, GW_OWNER); owner && ::IsWindowVisible(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT self{};
    ::GetWindowRect(window, &self);
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    const int x = area.left + ((area.right - area.left) - width) / 2;
    const int y = area.top + ((area.bottom - area.top) - height) / 2;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// The explorer-style file dialogs call their hook from a child dialog; the window to move is
// its parent, and only once the dialog has its final size.
UINT_PTR CALLBACK CentringHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
        CentreWindow(::GetParent(hook));
    }
    return 0;
}

int CALLBACK BrowseCentringCallback(HWND browser, UINT message, LPARAM, LPARAM) {
    if (message == BFFM_INITIALIZED) CentreWindow(browser);
    return 0;
}

std::string FolderOfPidl(const ITEMIDLIST* pidl) {
    std::wstring path(kFileBufferChars, L'\0');
    if (!::SHGetPathFromIDListEx(pidl, path.data(), kFileBufferChars, GPFIDL_DEFAULT)) {
        // Older shells only know the MAX_PATH variant.
        if (!::SHGetPathFromIDListW(pidl, path.data())) return {};
    }
    path.resize(::wcslen(path.c_str()));
    return Narrow(path);
}

std::wstring CurrentDirectory() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return {};
    std::wstring folder(size, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(size, folder.data());
    folder.resize(length < size ? length : 0);
    return folder;
}

}  // namespace host
