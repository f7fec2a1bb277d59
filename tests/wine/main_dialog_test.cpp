#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <string>
#include <vector>

#include "app/dialog_ids.h"
#include "app/folder_choice_win.h"
#include "app/build_win.h"
#include "app/dialog_template.h"
#include "app/main_dialog_win.h"
#include "app/state_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"

namespace {

using testing_support::CloseMessageBoxLater;
using testing_support::MakeFolder;
using testing_support::TempFolder;
using testing_support::WriteBytes;

// Appends a little-endian number of the given width in bytes.
void Append(std::string& bytes, unsigned value, int width) {
    for (int i = 0; i < width; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 16 x 16, 32-bit bitmap: its header (height doubled in icons, for the AND mask), its colours.
std::string TinyBitmapImage(unsigned headerHeight) {
    std::string image;
    for (const unsigned v : {40u, 16u, headerHeight}) Append(image, v, 4);
    Append(image, 1, 2), Append(image, 32, 2), Append(image, 0, 4), Append(image, 16 * 16 * 4, 4);
    for (int i = 0; i < 4; ++i) Append(image, 0, 4);
    for (int i = 0; i < 16 * 16; ++i)
        image.append({char(0x20), char(0x80), char(0xE0), char(0xFF)});
    return image;
}

// A 16 x 16, 32-bit icon: directory, one entry, the bitmap and the AND mask.
std::string TinyIcon() {
    const std::string image = TinyBitmapImage(32) + std::string(16 * 4, '\0');
    std::string ico;
    Append(ico, 0, 2), Append(ico, 1, 2), Append(ico, 1, 2);
    ico.append({16, 16, 0, 0});
    Append(ico, 1, 2), Append(ico, 32, 2), Append(ico, static_cast<unsigned>(image.size()), 4);
    Append(ico, 6 + 16, 4);
    return ico + image;
}

// The same picture as a .bmp file.
std::string TinyBitmapFile() {
    const std::string image = TinyBitmapImage(16);
    std::string bmp = "BM";
    Append(bmp, static_cast<unsigned>(14 + image.size()), 4), Append(bmp, 0, 4);
    Append(bmp, 14 + 40, 4);
    return bmp + image;
}

// Builds the memory block Explorer hands over with a drop: DROPFILES, then a double-NUL list.
HGLOBAL MakeDrop(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) list += path + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    ::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(),
             list.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return memory;
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::ChosenFolder.clear();
        app::IconSource.clear();
        app::PreviewIcon.Reset();
        dialog_ = app::CreateMainDialog();
        ASSERT_NE(dialog_, nullptr);
        ASSERT_EQ(app::MainDialog, dialog_);
    }
    void TearDown() override {
        if (dialog_) ::DestroyWindow(dialog_);
        app::PreviewIcon.Reset();
    }

    // The drop is released by the dialog (DragFinish), as with a real one.
    void Drop(const std::vector<std::wstring>& paths) {
        ::SendMessageW(dialog_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    }
    std::wstring FolderEntryText() const {
        std::wstring text(40000, L'\0');
        text.resize(::GetDlgItemTextW(dialog_, app::kFolderEntryId, text.data(), 40000));
        return text;
    }
    bool BuildEnabled() const {
        return ::IsWindowEnabled(::GetDlgItem(dialog_, app::kBuildButtonId));
    }
    HANDLE PreviewImage() const {
        return reinterpret_cast<HANDLE>(
            ::SendDlgItemMessageW(dialog_, app::kIconPictureId, STM_GETIMAGE, IMAGE_ICON, 0));
    }
    // A dropped folder is taken as dropped, shown with one trailing backslash, and enables Build.
    void ExpectFolderChosen(const std::wstring& folder) {
        const std::string expected = host::Narrow(folder) + "\\";
        EXPECT_EQ(app::ChosenFolder, expected);
        EXPECT_EQ(FolderEntryText(), folder + L"\\");
        EXPECT_TRUE(BuildEnabled());
    }

    HWND dialog_ = nullptr;
    TempFolder temp_;
};

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

TEST_F(MainDialogTest, DroppedFoldersAreChosenWhateverTheirName) {
    const std::wstring photos = temp_.Path() + L"Photos";
    const std::wstring lookalike = temp_.Path() + L"pictures.png";
    const std::wstring international = temp_.Path() + L"Fotos Caf\u00e9 \u5199\u771f";
    for (const std::wstring& folder : {photos, lookalike, international}) {
        SCOPED_TRACE(host::Narrow(folder));
        ASSERT_TRUE(MakeFolder(folder));
        app::IconSource = "C:\\keep.ico";
        Drop({folder});
        ExpectFolderChosen(folder);
        EXPECT_EQ(app::IconSource, "C:\\keep.ico") << "a folder drop leaves the icon alone";
    }
}

TEST_F(MainDialogTest, DroppedPathsLongerThanMaxPathAreTakenWhole) {
    std::wstring folder = temp_.Path() + L"long";
    ASSERT_TRUE(MakeFolder(folder));
    while (folder.size() <= 300) {
        folder += L"\\" + std::wstring(40, L'd');
        ASSERT_TRUE(MakeFolder(folder)) << host::Narrow(folder);
    }
    Drop({folder});
    ExpectFolderChosen(folder);

    const std::wstring icon = folder + L"\\Katze.ico";
    ASSERT_TRUE(WriteBytes(icon, TinyIcon()));
    Drop({icon});
    EXPECT_EQ(app::IconSource, host::Narrow(icon));
    EXPECT_NE(PreviewImage(), nullptr);
}

TEST_F(MainDialogTest, DropOfTwoItemsIsRefusedWithAMessage) {
    const std::wstring folder = temp_.Path() + L"Photos";
    const std::wstring icon = temp_.Path() + L"cat.ico";
    ASSERT_TRUE(MakeFolder(folder));
    ASSERT_TRUE(WriteBytes(icon, TinyIcon()));

    auto box = CloseMessageBoxLater(L"Error", ::GetCurrentProcessId());
    Drop({folder, icon});
    const testing_support::BoxSeen seen = box.get();
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.text, L"Please drag and drop only 1 folder or 1 jpeg image");
    EXPECT_EQ(app::ChosenFolder, "");
    EXPECT_EQ(app::IconSource, "");
    EXPECT_EQ(PreviewImage(), nullptr);
    EXPECT_FALSE(BuildEnabled());
}

TEST_F(MainDialogTest, DroppedIconIsShownAtOnce) {
    const std::wstring folder = temp_.Path() + L"Fotos Caf\u00e9 \u5199\u771f";
    ASSERT_TRUE(MakeFolder(folder));
    const std::wstring icon = folder + L"\\Katze.ICO";
    ASSERT_TRUE(WriteBytes(icon, TinyIcon()));
    Drop({icon});
    EXPECT_EQ(app::IconSource, host::Narrow(icon));
    EXPECT_NE(PreviewImage(), nullptr);
    EXPECT_EQ(PreviewImage(), app::PreviewIcon.Get());
    EXPECT_EQ(app::ChosenFolder, "") << "an icon drop leaves the folder alone";
    EXPECT_FALSE(BuildEnabled());

    // An .ico that cannot be loaded empties the picture.
    const std::wstring broken = folder + L"\\broken.ico";
    ASSERT_TRUE(WriteBytes(broken, "not an icon"));
    Drop({broken});
    EXPECT_EQ(app::IconSource, host::Narrow(broken));
    EXPECT_EQ(PreviewImage(), nullptr);
    EXPECT_FALSE(app::PreviewIcon);
}

TEST_F(MainDialogTest, DroppedImagesGoToConversion) {
    // Each becomes the .ico beside it, which is then the icon source.
    for (const wchar_t* name : {L"photo.JPEG", L"photo.jpg", L"snapshot.jpeg", L"scan.bmp"}) {
        SCOPED_TRACE(host::Narrow(name));
        const std::wstring image = temp_.Path() + name;
        ASSERT_TRUE(WriteBytes(image, TinyBitmapFile()));
        app::IconSource.clear();
        Drop({image});
        const std::string stem = host::Narrow(image).substr(0, host::Narrow(image).rfind('.'));
        EXPECT_EQ(app::IconSource, stem + ".ico");
        EXPECT_TRUE(host::FileExists(stem + ".ico"));
        EXPECT_EQ(app::ChosenFolder, "");
    }
}

TEST_F(MainDialogTest, OtherDropsChangeNothing) {
    std::vector<std::wstring> paths;
    for (const wchar_t* name : {L"notes.txt", L"Lumora.lnk", L"anim.gif", L"photo.jpe"}) {
        paths.push_back(temp_.Path() + name);
        ASSERT_TRUE(WriteBytes(paths.back(), "x"));
    }
    paths.push_back(temp_.Path() + L"vanished");  // cannot be looked up
    paths.push_back(L"C:\\");                     // a drive root cannot be looked up either
    for (const std::wstring& path : paths) {
        SCOPED_TRACE(host::Narrow(path));
        Drop({path});
        EXPECT_EQ(app::ChosenFolder, "");
        EXPECT_EQ(app::IconSource, "");
        EXPECT_EQ(PreviewImage(), nullptr);
        EXPECT_EQ(FolderEntryText(), L"");
        EXPECT_FALSE(BuildEnabled());
    }
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

struct FileDialogSeen {
    bool found = false;
    std::wstring folder;
    std::wstring proposedName;
    bool centred = false;
};

// Answers a file dialog from a watcher thread: reads where it opened, what it proposed and
// whether it is centred over the given window (the work area when none), then either types the
// given path and accepts it, or cancels when it is empty.
std::future<FileDialogSeen> AnswerFileDialog(std::wstring caption, std::wstring answer,
                                             HWND over = nullptr) {
    return std::async(std::launch::async, [caption, answer, over] {
        FileDialogSeen seen;
        HWND box = testing_support::WaitForWindow(::GetCurrentProcessId(), caption);
        if (!box) return seen;
        seen.found = true;
        wchar_t text[1024] = {};
        ::SendMessageW(box, CDM_GETFOLDERPATH, 1024, reinterpret_cast<LPARAM>(text));
        seen.folder = text;
        text[0] = 0;
        ::SendMessageW(box, CDM_GETSPEC, 1024, reinterpret_cast<LPARAM>(text));
        seen.proposedName = text;
        RECT window{}, area{};
        ::GetWindowRect(box, &window);
        if (over) {
            ::GetWindowRect(over, &area);
        } else {
            ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        }
        seen.centred = std::abs((window.left + window.right) - (area.left + area.right)) <= 4 &&
                       std::abs((window.top + window.bottom) - (area.top + area.bottom)) <= 4;
        if (answer.empty()) {
            ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        } else {
            ::SendMessageW(box, CDM_SETCONTROLTEXT, cmb13,
                           reinterpret_cast<LPARAM>(answer.c_str()));
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return seen;
    });
}

TEST_F(MainDialogTest, BuildProposesTheIconNameAtTheDriveRoot) {
    const std::wstring folder = temp_.Path() + L"Photos";
    ASSERT_TRUE(MakeFolder(folder));
    Drop({folder});
    app::IconSource = "C:\\img\\cat.ico";

    // Cancelled: nothing happens (no message box would let the call return).
    auto cancelled = AnswerFileDialog(L"Save as...", L"");
    ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(app::kBuildButtonId, 0), 0);
    FileDialogSeen seen = cancelled.get();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.folder, folder.substr(0, 3));
    EXPECT_EQ(seen.proposedName, L"cat.lnk");
    EXPECT_TRUE(seen.centred);

    EXPECT_EQ(app::ChosenFolder, host::Narrow(folder) + "\\");
}

TEST_F(MainDialogTest, ChooseIconShowsAnIconBeepsAtOthersAndForgetsOnCancel) {
    const std::wstring icon = temp_.Path() + L"Fotos Caf\u00e9 \u5199\u771f.ico";
    const std::wstring notes = temp_.Path() + L"notes.txt";
    ASSERT_TRUE(WriteBytes(icon, TinyIcon()));
    ASSERT_TRUE(WriteBytes(notes, "x"));
    wchar_t current[1024] = {};
    ::GetCurrentDirectoryW(1024, current);
    auto click = [&] {
        ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(app::kIconPictureId, 0), 0);
    };

    auto chosen = AnswerFileDialog(L"Select shortcut icon", icon, dialog_);
    click();
    const FileDialogSeen seen = chosen.get();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.folder + L"\\", std::wstring(current) + L"\\");
    EXPECT_EQ(seen.proposedName, L"");
    EXPECT_TRUE(seen.centred);
    EXPECT_EQ(app::IconSource, host::Narrow(icon));
    const HANDLE shown = PreviewImage();
    EXPECT_NE(shown, nullptr);

    // An existing file of another kind is kept as the source, but only answered with a beep.
    auto other = AnswerFileDialog(L"Select shortcut icon", notes, dialog_);
    click();
    ASSERT_TRUE(other.get().found);
    EXPECT_EQ(app::IconSource, host::Narrow(notes));
    EXPECT_EQ(PreviewImage(), shown);

    // Cancelled: the source is forgotten while the picture keeps the previous icon.
    auto cancelled = AnswerFileDialog(L"Select shortcut icon", L"", dialog_);
    click();
    ASSERT_TRUE(cancelled.get().found);
    EXPECT_EQ(app::IconSource, "");
    EXPECT_EQ(PreviewImage(), shown);
}

}  // namespace
