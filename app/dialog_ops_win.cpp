#include "app/dialog_ops_win.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "app/dialog_ids.h"
#include "app/icon_convert_win.h"
#include "app/icon_file.h"
#include "app/long_path.h"
#include "app/shortcut_win.h"
#include "app/state_win.h"
#include "host/path_text.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/whole_file_win.h"

namespace app {
namespace {

// Room for any path the file dialogs can answer, long paths included.
constexpr DWORD kFileBufferChars = 32768;
constexpr char kShortcutDescription[] = "Lumora-builder 1.6 - (c) 2026 the Lumora project";

struct PidlDeleter {
    void operator()(ITEMIDLIST* pidl) const noexcept { ::CoTaskMemFree(pidl); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlDeleter>;

constexpr int kPreviewPixels = 32;
// Icon files are small; anything bigger is no icon worth showing.
constexpr size_t kMaxIconFileBytes = 16 * 1024 * 1024;

// Reads the .ico file itself and builds the icon from the image that fits best: LoadImage with
// LR_LOADFROMFILE cannot open paths longer than MAX_PATH (not even under Wine).
host::UniqueIcon LoadIconFile(const std::string& path, int pixels) {
    // One byte past the limit tells a file that is too big from one that just fits.
    std::optional<std::string> file =
        host::ReadWholeFile(ExtendedLengthPath(path), kMaxIconFileBytes + 1);
    if (!file || file->size() > kMaxIconFileBytes) return {};
    // CreateIconFromResourceEx takes the bytes as non-const.
    const std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(file->data()),
                                        file->size());
    const std::optional<IconImageSpan> image = PickIconImage(bytes, pixels);
    if (!image) return {};
    constexpr DWORD kIconFormatVersion = 0x00030000;
    return host::UniqueIcon(
        ::CreateIconFromResourceEx(bytes.data() + image->offset, static_cast<DWORD>(image->size),
                                   TRUE, kIconFormatVersion, pixels, pixels, LR_DEFAULTCOLOR));
}

std::wstring CurrentDirectory() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return {};
    std::wstring folder(size, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(size, folder.data());
    folder.resize(length < size ? length : 0);
    return folder;
}

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

// The explorer-style file dialogs call their hook from a child dialog; the window to move is
// its parent, and only once the dialog has its final size.
UINT_PTR CALLBACK CentringHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
        CentreWindow(::GetParent(hook));
    }
    return 0;
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM) {
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
    return host::Narrow(path);
}

}  // namespace

void SelectFolder() {
    ChosenFolder = host::WithOneTrailingBackslash(ChosenFolder);
    ::SetDlgItemTextW(MainDialog, kFolderEntryId, host::Widen(ChosenFolder).c_str());
    ::EnableWindow(::GetDlgItem(MainDialog, kBuildButtonId), TRUE);
}

void RefreshIconPreview() {
    // The old icon is destroyed only after the control has let go of it.
    host::UniqueIcon icon = LoadIconFile(IconSource, kPreviewPixels);
    ::SendDlgItemMessageW(MainDialog, kIconPictureId, STM_SETIMAGE, IMAGE_ICON,
                          reinterpret_cast<LPARAM>(icon.Get()));
    PreviewIcon = std::move(icon);
}

void BrowseForFolder() {
    // The new-style folder browser hosts shell views: it needs COM on this thread.
    host::ComScope com;
    BROWSEINFOW info{};
    info.hwndOwner = MainDialog;
    info.ulFlags =
        BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    info.lpfn = BrowseCallback;
    UniquePidl pidl(::SHBrowseForFolderW(&info));
    // A cancelled browse empties the choice; the box keeps showing the previous folder.
    ChosenFolder = pidl ? FolderOfPidl(pidl.get()) : std::string();
    if (!ChosenFolder.empty()) SelectFolder();
}

void ChooseIcon() {
    std::wstring file(kFileBufferChars, L'\0');
    const std::wstring initialFolder = CurrentDirectory();
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = MainDialog;
    ofn.lpstrFilter = L"Image\0*.ico;*.jpg;*.png\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kFileBufferChars;
    ofn.lpstrInitialDir = initialFolder.c_str();
    ofn.lpstrTitle = L"Select shortcut icon";
    ofn.Flags =
        OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_EXPLORER;
    ofn.lpfnHook = CentringHook;
    file.resize(::GetOpenFileNameW(&ofn) ? ::wcslen(file.c_str()) : 0);

    // Stored even when cancelled: the picture keeps its icon, but Build then uses none.
    IconSource = host::Narrow(file);
    if (IconSource.empty()) return;
    const std::string ending = host::AsciiLower(host::LastChars(IconSource, 4));
    if (ending == ".jpg" || ending == "jpeg" || ending == ".png" || ending == ".bmp") {
        ConvertIcon();
    } else if (ending == ".ico") {
        RefreshIconPreview();
    } else {
        ::MessageBeep(0);
    }
}

void Build() {
    std::wstring file(kFileBufferChars, L'\0');
    const std::wstring proposed =
        host::Widen(host::StripExtension(host::FileNameOf(IconSource)) + ".lnk");
    proposed.copy(file.data(), kFileBufferChars - 1);
    // The save dialog opens at the root of the chosen folder's drive.
    std::wstring initialFolder = host::Widen(ChosenFolder).substr(0, 3);
    if (initialFolder.empty()) initialFolder = CurrentDirectory();

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = L"Shortcut\0*.lnk\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kFileBufferChars;
    ofn.lpstrInitialDir = initialFolder.c_str();
    ofn.lpstrTitle = L"Save as...";
    ofn.lpstrDefExt = L"lnk";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                OFN_ENABLEHOOK | OFN_EXPLORER;
    ofn.lpfnHook = CentringHook;
    if (!::GetSaveFileNameW(&ofn)) return;
    file.resize(::wcslen(file.c_str()));
    if (file.empty()) return;
    SaveShortcut(host::Narrow(file));
}

void SaveShortcut(const std::string& shortcutPath) {
    // An existing shortcut is not deleted here: CreateShortcut replaces it only once the new one
    // is written, so a failed save keeps the old file.
    const bool saved = CreateShortcut(shortcutPath, host::ProgramFolder() + "Lumora.exe", "",
                                      ChosenFolder, SW_SHOW, IconSource, kShortcutDescription);
    if (!saved) {
        const std::wstring text = host::Widen("The shortcut could not be saved:\n" + shortcutPath);
        ::MessageBoxW(MainDialog, text.c_str(), host::Widen(host::ProgramName()).c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::wstring parameters = L"/select,\"" + host::Widen(shortcutPath) + L"\"";
    ::ShellExecuteW(nullptr, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOW);
}

}  // namespace app
