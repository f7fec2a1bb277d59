// The main dialog of this process: its controls as the template places them, the folder box,
// the cursor and colour of the link, a shortcut that cannot be saved.
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
#include "app/state_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"

namespace {

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

}  // namespace
