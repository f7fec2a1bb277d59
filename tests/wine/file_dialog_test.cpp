// The file dialogs of the main dialog as a user meets them: Build's save dialog and the icon
// choice, where they open, what they propose, and what a choice or a cancel leaves behind.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <future>
#include <set>
#include <string>
#include <vector>

#include "app/dialog_ids.h"
#include "app/state_win.h"
#include "host/text_encoding_win.h"
#include "tests/wine/wine_test_support.h"

namespace {

using testing_support::MakeFolder;
using testing_support::TinyIcon;
using testing_support::WriteBytes;
using MainDialogTest = testing_support::MainDialogFixture;

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

TEST_F(MainDialogTest, ChooseIconShowsAnIconBeepsAtOthersAndKeepsItOnCancel) {
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

    // Cancelled: the choice and the picture stay as they were.
    const std::string before = app::IconSource;
    auto cancelled = AnswerFileDialog(L"Select shortcut icon", L"", dialog_);
    click();
    ASSERT_TRUE(cancelled.get().found);
    EXPECT_EQ(app::IconSource, before);
    EXPECT_EQ(PreviewImage(), shown);

    // The shell each dialog readied for a conversion was let go, and has ended leaving nothing.
    for (int wait = 0; wait < 40 && !testing_support::ConversionLeftovers().empty(); ++wait)
        ::Sleep(50);
    EXPECT_EQ(testing_support::ConversionLeftovers(), std::set<std::string>());
}

}  // namespace
