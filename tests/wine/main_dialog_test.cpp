// The main dialog of this process: its controls as the template places them, the keyboard, the
// folder box, the cursor and colour of the link, a shortcut that cannot be saved.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "app/build_win.h"
#include "app/dialog_ids.h"
#include "app/dialog_template.h"
#include "app/folder_choice_win.h"
#include "app/icon_preview_win.h"
#include "app/main_dialog_win.h"
#include "app/state_win.h"
#include "host/dpi_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"

namespace {

using testing_support::CancelOwnedWindowLater;
using testing_support::CloseMessageBoxLater;
using MainDialogTest = testing_support::MainDialogFixture;

TEST_F(MainDialogTest, ControlsMatchTheTemplateInOrderAndPlace) {
    wchar_t caption[256] = {};
    ::GetWindowTextW(dialog_, caption, 256);
    EXPECT_STREQ(caption, L"lumora_wine_tests 1.6");
    EXPECT_FALSE(BuildEnabled());
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(dialog_, GWL_STYLE)) & 0x00CF0000u, 0x00CA0000u);

    const auto& items = app::MainDialogItems();
    HWND child = ::GetWindow(dialog_, GW_CHILD);
    for (size_t i = 0; i < items.size(); ++i, child = ::GetWindow(child, GW_HWNDNEXT)) {
        SCOPED_TRACE("control " + std::to_string(i));
        ASSERT_NE(child, nullptr);
        const app::DialogItem& item = items[i];
        EXPECT_EQ(::GetDlgCtrlID(child), item.id);
        wchar_t className[64] = {};
        ::GetClassNameW(child, className, 64);
        const wchar_t* expectedClass = item.classAtom == app::kButtonAtom ? L"Button"
                                       : item.classAtom == app::kEditAtom ? L"Edit"
                                                                          : L"Static";
        EXPECT_EQ(::lstrcmpiW(className, expectedClass), 0) << host::Narrow(className);
        // Build is disabled at initialisation. DS_3DLOOK turns a control's WS_BORDER into a
        // sunken WS_EX_CLIENTEDGE; everything else is as in the template.
        const DWORD style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE)) & ~WS_DISABLED;
        const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(child, GWL_EXSTYLE));
        const DWORD border =
            (item.style & WS_BORDER) && (exStyle & WS_EX_CLIENTEDGE) ? WS_BORDER : 0;
        EXPECT_EQ((style | border) & item.style, item.style) << std::hex << style;
        EXPECT_EQ(exStyle & WS_EX_CLIENTEDGE, (item.exStyle | (border ? WS_EX_CLIENTEDGE : 0)));

        // The dialog manager converts position and size separately, as MapDialogRect does here.
        RECT place{item.x, item.y, item.width, item.height};
        ::MapDialogRect(dialog_, &place);
        RECT actual{};
        ::GetWindowRect(child, &actual);
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, place.left);
        EXPECT_EQ(actual.top, place.top);
        EXPECT_EQ(actual.right - actual.left, place.right);
        EXPECT_EQ(actual.bottom - actual.top, place.bottom);
    }
    EXPECT_EQ(child, nullptr) << "more controls than the template holds";
}

// A key pressed in the dialog, handed over as its message loop does: the dialog manager first,
// then the focused control; what that posts (WM_CHAR) goes the same way.
void Press(HWND dialog, UINT message, WPARAM key) {
    MSG msg{::GetFocus(), message, key, message == WM_SYSCHAR ? 0x20000001 : 1, 0, {}};
    for (bool more = true; more; more = ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (::IsDialogMessageW(dialog, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

TEST_F(MainDialogTest, KeyboardAloneReachesAndUsesEveryControl) {
    const auto focusedId = [] { return ::GetDlgCtrlID(::GetFocus()); };
    ::SetForegroundWindow(dialog_);
    ::SetFocus(::GetDlgItem(dialog_, app::kFolderEntryId));
    // Tab goes round the window; the disabled Build is left out until a folder is chosen.
    for (int id :
         {app::kBrowseButtonId, app::kIconPictureId, app::kHelpLinkId, app::kFolderEntryId}) {
        Press(dialog_, WM_KEYDOWN, VK_TAB);
        EXPECT_EQ(focusedId(), id);
    }
    app::ChosenFolder = host::Narrow(temp_.Path());
    app::SelectFolder();
    for (int id : {app::kBrowseButtonId, app::kBuildButtonId, app::kIconPictureId}) {
        Press(dialog_, WM_KEYDOWN, VK_TAB);
        EXPECT_EQ(focusedId(), id);
    }
    // Space and Enter on the picture choose an icon, as a click does.
    for (WPARAM key : {VK_SPACE, VK_RETURN}) {
        SCOPED_TRACE(key);
        auto chooser = CancelOwnedWindowLater(dialog_);
        Press(dialog_, WM_KEYDOWN, key);
        EXPECT_EQ(chooser.get(), L"Select shortcut icon");
        EXPECT_EQ(focusedId(), app::kIconPictureId);
    }
    // Alt+F, the folder label's mnemonic, goes to the browse button; Enter in the folder box
    // still means Build.
    ::SetFocus(::GetDlgItem(dialog_, app::kFolderEntryId));
    Press(dialog_, WM_SYSCHAR, 'f');
    EXPECT_EQ(focusedId(), app::kBrowseButtonId);
    ::SetFocus(::GetDlgItem(dialog_, app::kFolderEntryId));
    auto save = std::async(std::launch::async, [] {
        const HWND box = testing_support::WaitForWindow(::GetCurrentProcessId(), L"Save as...");
        if (box) ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        return box != nullptr;
    });
    Press(dialog_, WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(save.get());
}

TEST_F(MainDialogTest, SelectFolderKeepsExactlyOneTrailingBackslash) {
    for (const char* given : {"D:\\Photos//", "D:\\Photos", "D:\\Photos\\\\"}) {
        SCOPED_TRACE(given);
        app::ChosenFolder = given;
        app::SelectFolder();
        EXPECT_EQ(app::ChosenFolder, "D:\\Photos\\");
        EXPECT_EQ(FolderEntryText(), L"D:\\Photos\\");
        EXPECT_TRUE(BuildEnabled());
    }
    app::ChosenFolder = "C:\\";
    app::SelectFolder();
    EXPECT_EQ(app::ChosenFolder, "C:\\");
}

TEST_F(MainDialogTest, HandCursorOnlyOverPictureAndHelpLink) {
    for (const app::DialogItem& item : app::MainDialogItems()) {
        HWND control = nullptr;
        for (HWND c = ::GetWindow(dialog_, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            if (::GetDlgCtrlID(c) == item.id && !control) control = c;
        }
        ASSERT_NE(control, nullptr);
        SCOPED_TRACE(item.id);
        const bool hand = item.id == app::kIconPictureId || item.id == app::kHelpLinkId;
        const LRESULT result =
            ::SendMessageW(dialog_, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(result, hand ? 1 : 0);
        if (hand) {
            EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
        }
    }
}

TEST_F(MainDialogTest, HelpLinkIsDrawnInBlue) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetTextColor(dc, RGB(0, 0, 0));
    const LRESULT brush =
        ::SendMessageW(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog_, app::kHelpLinkId)));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(::GetTextColor(dc), static_cast<COLORREF>(0xFF0000));
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SendMessageW(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog_, app::kHintLabelId)));
    EXPECT_NE(::GetTextColor(dc), static_cast<COLORREF>(0xFF0000));
    ::DeleteDC(dc);
}

TEST_F(MainDialogTest, UnsavedShortcutIsReportedAndNotRevealed) {
    const std::string path = host::Narrow(temp_.Path()) + "missing\\Pics.lnk";
    app::ChosenFolder = host::Narrow(temp_.Path());
    auto box = CloseMessageBoxLater(L"lumora_wine_tests", ::GetCurrentProcessId());
    app::SaveShortcut(path);
    const testing_support::BoxSeen seen = box.get();
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(host::Narrow(seen.text), "The shortcut could not be saved:\n" + path);
}

// The width of an icon's image; 0 for none.
int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// A DPI change names the new DPI and the place for the window: the preview follows, the window
// goes there. (The window icons come from the program's resources, which this test program lacks.)
TEST_F(MainDialogTest, DpiChangeReloadsTheIconsAndMovesTheWindow) {
    const std::wstring icon = temp_.Path() + L"small.ico";
    ASSERT_TRUE(testing_support::WriteBytes(icon, testing_support::TinyIcon()));
    app::IconSource = host::Narrow(icon);
    app::RefreshIconPreview();
    EXPECT_EQ(IconWidth(static_cast<HICON>(PreviewImage())), 32);

    RECT place{};
    ::GetWindowRect(dialog_, &place);
    ::OffsetRect(&place, 10, 20);
    place.right += 30;
    ::SendMessageW(dialog_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&place));
    EXPECT_EQ(IconWidth(static_cast<HICON>(PreviewImage())), 48);
    RECT now{};
    ::GetWindowRect(dialog_, &now);
    EXPECT_TRUE(::EqualRect(&now, &place));
}

// Run only by the next test, in a child started while the desktop is at 192 dpi, aware of the DPI
// as the manifest makes Lumora-builder.
TEST(HighDpiChild, DISABLED_PreviewAtTheIconSizeOfTheDpi) {
    ::SetProcessDPIAware();
    const HWND dialog = app::CreateMainDialog();
    ASSERT_TRUE(dialog);
    ASSERT_EQ(host::WindowDpi(dialog), 192u);
    testing_support::TempFolder temp;
    const std::wstring icon = temp.Path() + L"small.ico";
    ASSERT_TRUE(testing_support::WriteBytes(icon, testing_support::TinyIcon()));
    app::IconSource = host::Narrow(icon);
    app::RefreshIconPreview();
    EXPECT_EQ(IconWidth(reinterpret_cast<HICON>(
                  ::SendDlgItemMessageW(dialog, app::kIconPictureId, STM_GETICON, 0, 0))),
              64);
    ::DestroyWindow(dialog);
}

TEST(HighDpi, PreviewAtTwiceTheSizeAt192Dpi) {
    // The DPI of every later process in this prefix: put back whatever happens to the child.
    struct LogPixels {
        HKEY key = nullptr;
        DWORD old = 0;
        bool had = false;
        LogPixels() {
            ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr);
            DWORD size = sizeof old;
            had = ::RegQueryValueExW(key, L"LogPixels", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&old), &size) == ERROR_SUCCESS;
            const DWORD dpi = 192;
            ::RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                             sizeof dpi);
        }
        ~LogPixels() {
            if (had) {
                ::RegSetValueExW(key, L"LogPixels", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&old), sizeof old);
            } else {
                ::RegDeleteValueW(key, L"LogPixels");
            }
            ::RegCloseKey(key);
        }
    } logPixels;
    ASSERT_TRUE(logPixels.key);
    testing_support::ChildProcess child(
        host::Widen(host::ProgramPath()), host::Widen(host::ProgramFolder()),
        L"--gtest_also_run_disabled_tests --gtest_filter=HighDpiChild.*");
    ASSERT_TRUE(child.Started());
    EXPECT_EQ(child.ExitCode(), 0u);
}

}  // namespace
