// Build driven through the real save dialog, as a user clicks it: the shortcut on disk as an
// independent reader sees it, and the window that shows it.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <set>
#include <string>
#include <thread>

#include "app/dialog_ids.h"
#include "app/folder_choice_win.h"
#include "app/icon_convert_win.h"
#include "app/icon_preview_win.h"
#include "app/state_win.h"
#include "host/path_text.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "tests/wine/wine_test_support.h"

namespace {

using testing_support::BuiltFile;
using testing_support::kUnicodeName;

// Visible top-level windows of other processes.
std::set<HWND> ForeignWindows() {
    std::set<HWND> windows;
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != ::GetCurrentProcessId() && ::IsWindowVisible(window)) {
                reinterpret_cast<std::set<HWND>*>(param)->insert(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A window of another process that was not there before; polls for about ten seconds.
HWND WaitForNewForeignWindow(const std::set<HWND>& before) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (HWND window : ForeignWindows()) {
            if (!before.count(window)) return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return nullptr;
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

struct SaveDialogSeen {
    bool found = false;
    std::wstring proposedName;
    bool overwriteAsked = false;
    std::wstring errorBox;
};

// Answers Build's save dialog like a user: reads the proposed name, types the full path into
// the file name box and presses Save, confirms an overwrite question. Until `done` is set it
// then closes (and reports) any message box of the program, so that a failure cannot hang Build.
std::future<SaveDialogSeen> AnswerSaveDialog(std::wstring path, const std::atomic<bool>& done) {
    return std::async(std::launch::async, [path, &done] {
        SaveDialogSeen seen;
        const HWND box = testing_support::WaitForWindow(::GetCurrentProcessId(), L"Save as...");
        if (!box) return seen;
        seen.found = true;
        wchar_t text[1024] = {};
        ::SendMessageW(box, CDM_GETSPEC, 1024, reinterpret_cast<LPARAM>(text));
        seen.proposedName = text;
        ::SendMessageW(box, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(path.c_str()));
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        const std::wstring errorCaption = host::Widen(host::ProgramName());
        while (!done) {
            for (const wchar_t* caption : {L"Save as...", errorCaption.c_str()}) {
                const HWND other = testing_support::WaitForWindow(::GetCurrentProcessId(), caption,
                                                                  std::chrono::milliseconds(50));
                if (!other || other == box) continue;
                if (::GetDlgItem(other, IDYES)) {
                    seen.overwriteAsked = true;
                    ::PostMessageW(other, WM_COMMAND, IDYES, 0);
                } else {
                    seen.errorBox = testing_support::MessageBoxText(other);
                    ::PostMessageW(other, WM_COMMAND, IDOK, 0);
                }
            }
        }
        return seen;
    });
}

class BuildTest : public testing_support::MainDialogFixture {
protected:
    void TearDown() override {
        MainDialogFixture::TearDown();
        for (HWND window : revealers_) CloseWithItsProcess(window);
    }

    // Explorer stays behind otherwise, and would outlive this test's process.
    static void CloseWithItsProcess(HWND window) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        host::UniqueHandle process(
            ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        if (process && ::WaitForSingleObject(process.Get(), 5000) == WAIT_TIMEOUT) {
            ::TerminateProcess(process.Get(), 1);
        }
    }

    // Clicks Build and answers the save dialog with the path; the result once Build returned.
    SaveDialogSeen BuildAs(const std::wstring& path) {
        std::atomic<bool> done{false};
        auto answer = AnswerSaveDialog(path, done);
        ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(app::kBuildButtonId, 0), 0);
        done = true;
        // The watcher reads captions of this thread's windows, which this thread must answer.
        while (answer.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        }
        return answer.get();
    }
    // Checks the working folder and the icon that lnkinfo reads from the shortcut; its report.
    std::string ExpectShortcutOf(const std::wstring& lnk, const std::wstring& folder,
                                 const std::string& icon) {
        const std::string report = testing_support::Lnkinfo(lnk, temp_.Path());
        SCOPED_TRACE(report);
        EXPECT_EQ(testing_support::LnkinfoField(report, "Working directory"),
                  host::Narrow(folder) + "\\");
        EXPECT_EQ(testing_support::LnkinfoField(report, "Icon location"), icon);
        return report;
    }
    // The window that Build opened to show the new shortcut, closed again at the end.
    HWND Revealer(const std::set<HWND>& before) {
        const HWND window = WaitForNewForeignWindow(before);
        if (window) revealers_.insert(window);
        return window;
    }

    std::set<HWND> revealers_;
};

TEST_F(BuildTest, SavesTheShortcutWhereTheUserSaidAndShowsIt) {
    const std::wstring folder = temp_.Path() + kUnicodeName;
    ASSERT_TRUE(testing_support::MakeFolder(folder));
    const std::wstring icon = temp_.Path() + L"Katze " + kUnicodeName + L".ico";
    ASSERT_TRUE(
        ::CopyFileW(BuiltFile(L"..\\..\\tests\\data\\alpha.ico").c_str(), icon.c_str(), FALSE));
    app::ChosenFolder = host::Narrow(folder);
    app::SelectFolder();
    app::IconSource = host::Narrow(icon);
    app::RefreshIconPreview();
    ASSERT_TRUE(app::PreviewIcon);

    const std::wstring lnk = folder + L"\\Album " + kUnicodeName + L".lnk";
    const std::set<HWND> before = ForeignWindows();
    const SaveDialogSeen seen = BuildAs(lnk);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.proposedName, L"Katze " + kUnicodeName + L".lnk");
    EXPECT_FALSE(seen.overwriteAsked);
    EXPECT_EQ(seen.errorBox, L"");

    const std::string report = ExpectShortcutOf(lnk, folder, host::Narrow(icon));
    EXPECT_EQ(host::AsciiLower(testing_support::LnkinfoField(report, "Local path")),
              host::AsciiLower(host::ProgramFolder() + "Lumora.exe"))
        << report;

    const HWND revealer = Revealer(before);
    ASSERT_NE(revealer, nullptr) << "nothing showed the new shortcut";
    // Wine's explorer names its window after the folder it opened.
    EXPECT_EQ(WindowText(revealer), kUnicodeName);

    // Again over the same file, now without an icon (as when none was chosen): the
    // save dialog asks before it replaces the file, and the new shortcut has no icon.
    app::IconSource.clear();
    CloseWithItsProcess(revealer);
    revealers_.erase(revealer);
    const std::set<HWND> beforeAgain = ForeignWindows();
    const SaveDialogSeen again = BuildAs(lnk);
    ASSERT_TRUE(again.found);
    EXPECT_EQ(again.proposedName, L".lnk");
    EXPECT_TRUE(again.overwriteAsked);
    EXPECT_EQ(again.errorBox, L"");
    ExpectShortcutOf(lnk, folder, "");
    EXPECT_NE(Revealer(beforeAgain), nullptr);
}

// Looked at from the dialog's own thread while a conversion waits (a thread timer fires there):
// whether the window shows the app-starting cursor over the folder box.
std::atomic<bool> converterStarted{false};
std::atomic<int> busyCursorSeen{-1};
void CALLBACK LookAtTheCursor(HWND, UINT, UINT_PTR, DWORD) {
    if (!converterStarted || busyCursorSeen != -1 || !app::MainDialog) return;
    const HWND box = ::GetDlgItem(app::MainDialog, app::kFolderEntryId);
    ::SendMessageW(app::MainDialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(box),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    busyCursorSeen = ::GetCursor() == ::LoadCursorW(nullptr, IDC_APPSTARTING);
}

TEST_F(BuildTest, BuildDuringAConversionWaitsForTheNewIcon) {
    testing_support::SlowConverter converter;
    ASSERT_TRUE(converter.Ready());
    const std::wstring folder = temp_.Path() + L"Photos";
    ASSERT_TRUE(testing_support::MakeFolder(folder));
    Drop({folder});
    const std::wstring older = temp_.Path() + L"older.ico";
    ASSERT_TRUE(testing_support::WriteBytes(older, testing_support::TinyIcon()));
    app::IconSource = host::Narrow(older);
    const std::wstring image = temp_.Path() + L"Holiday.bmp";
    ASSERT_TRUE(testing_support::WriteBytes(image, testing_support::TinyBitmapFile()));
    const std::wstring shortcut = temp_.Path() + L"Holiday.lnk";

    converterStarted = false;
    busyCursorSeen = -1;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, LookAtTheCursor);
    // Build clicked while the converter works; the converter then finishes.
    auto clicked = std::async(std::launch::async, [&] {
        if (!converter.WaitUntilStarted()) return false;
        converterStarted = true;
        for (int i = 0; i < 100 && busyCursorSeen == -1; ++i) ::Sleep(50);
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(dialog_, WM_COMMAND, MAKEWPARAM(app::kBuildButtonId, 0), 0,
                              SMTO_NORMAL, 5000, &result);
        converter.Release();
        return true;
    });
    std::atomic<bool> done{false};
    const std::set<HWND> before = ForeignWindows();
    auto saved = AnswerSaveDialog(shortcut, done);
    app::ConvertIcon(host::Narrow(image));
    done = true;
    ::KillTimer(nullptr, timer);
    // The watcher reads captions of this thread's windows, which this thread must answer.
    while (saved.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    ASSERT_TRUE(clicked.get());
    EXPECT_EQ(busyCursorSeen, 1);
    const SaveDialogSeen seen = saved.get();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.proposedName, L"Holiday.lnk");
    const std::string icon = host::Narrow(temp_.Path() + L"Holiday.ico");
    EXPECT_EQ(app::IconSource, icon);
    EXPECT_EQ(testing_support::LnkinfoField(testing_support::Lnkinfo(shortcut, temp_.Path()),
                                            "Icon location"),
              icon);
    EXPECT_NE(Revealer(before), nullptr);
}

TEST_F(BuildTest, CancelledChoicesKeepTheFolderAndIconTheWindowShows) {
    const std::wstring folder = temp_.Path() + L"Photos";
    ASSERT_TRUE(testing_support::MakeFolder(folder));
    const std::wstring icon = temp_.Path() + L"Katze.ico";
    ASSERT_TRUE(
        ::CopyFileW(BuiltFile(L"..\\..\\tests\\data\\alpha.ico").c_str(), icon.c_str(), FALSE));
    Drop({folder});
    Drop({icon});
    ASSERT_EQ(app::IconSource, host::Narrow(icon));

    // The folder browser and the icon choice, both cancelled.
    for (int control : {app::kBrowseButtonId, app::kIconPictureId}) {
        auto cancelled = testing_support::CancelOwnedWindowLater(dialog_);
        ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(control, 0), 0);
        EXPECT_NE(cancelled.get(), L"") << control << " opened no window";
    }
    ExpectFolderChosen(folder);
    EXPECT_EQ(app::IconSource, host::Narrow(icon));

    const std::wstring lnk = folder + L"\\Pics.lnk";
    const std::set<HWND> before = ForeignWindows();
    const SaveDialogSeen seen = BuildAs(lnk);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.proposedName, L"Katze.lnk");
    ExpectShortcutOf(lnk, folder, host::Narrow(icon));
    Revealer(before);
}

}  // namespace
