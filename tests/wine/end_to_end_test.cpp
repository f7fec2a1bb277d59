// The program as the user meets it: the built Lumora-builder.exe started as a process of its own
// (its caption, its position file across restarts), and Build driven through the real save
// dialog down to the shortcut on disk.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "app/dialog_ids.h"
#include "app/folder_choice_win.h"
#include "app/icon_preview_win.h"
#include "app/main_dialog_win.h"
#include "app/state_win.h"
#include "host/path_text.h"
#include "host/position_file.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/whole_file_win.h"
#include "host/window_position_win.h"
#include "tests/wine/wine_test_support.h"

namespace {

using testing_support::ChildProcess;
using testing_support::TempFolder;

const std::wstring kUnicodeName = L"Fotos Caf\u00e9 \u5199\u771f";

std::wstring BuiltFile(const wchar_t* name) { return host::Widen(host::ProgramFolder()) + name; }

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// A copy of the built program with the stand-in companion beside it, in a folder of its own.
// Its position file is removed before and after, so that every test starts centred.
class ProgramCopy {
public:
    explicit ProgramCopy(const std::wstring& fileName) : path_(folder_.Path() + fileName) {
        copied_ = ::CopyFileW(BuiltFile(L"Lumora-builder.exe").c_str(), path_.c_str(), FALSE) &&
                  ::CopyFileW(BuiltFile(L"Lumora.exe").c_str(),
                              (folder_.Path() + L"Lumora.exe").c_str(), FALSE);
        ::DeleteFileW(host::Widen(PositionFile()).c_str());
    }
    ~ProgramCopy() { ::DeleteFileW(host::Widen(PositionFile()).c_str()); }
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    bool Copied() const { return copied_; }
    const std::wstring& Folder() const { return folder_.Path(); }
    std::string Name() const { return host::StripExtension(host::FileNameOf(host::Narrow(path_))); }
    std::wstring Caption() const { return host::Widen(Name()) + L" 1.6"; }
    std::string PositionFile() const { return host::LocalAppDataFolder() + Name() + ".pos"; }
    std::string PositionText() const {
        return host::ReadWholeFile(PositionFile(), 4096).value_or("<none>");
    }
    bool RenameTo(const std::wstring& fileName) {
        const std::wstring renamed = folder_.Path() + fileName;
        if (!::MoveFileW(path_.c_str(), renamed.c_str())) return false;
        path_ = renamed;
        ::DeleteFileW(host::Widen(PositionFile()).c_str());
        return true;
    }
    // Started from another folder: the program must find its companion beside itself.
    std::unique_ptr<ChildProcess> Start() const {
        return std::make_unique<ChildProcess>(path_, start_.Path());
    }

private:
    TempFolder folder_;
    TempFolder start_;
    std::wstring path_;
    bool copied_ = false;
};

POINT TopLeft(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return POINT{r.left, r.top};
}

void MoveTo(HWND window, POINT p) {
    ::SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ExpectNear(POINT actual, POINT expected) {
    EXPECT_LE(std::abs(actual.x - expected.x), 2) << actual.x << " vs " << expected.x;
    EXPECT_LE(std::abs(actual.y - expected.y), 2) << actual.y << " vs " << expected.y;
}

// A system command as the title bar or the system menu sends it, answered before this returns.
void SystemCommand(HWND dialog, WPARAM command) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(dialog, WM_SYSCOMMAND, command, 0, SMTO_ABORTIFHUNG, 10000, &result);
}

// The Esc key as the keyboard delivers it: to the control that has the focus, through the
// dialog's own message loop.
void PressEscape(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = dialog;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus) {
        target = info.hwndFocus;
    }
    ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ::PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

// The pixels of a position file's coordinates, converted with the dialog units of the main
// dialog's font (a dialog of this process built from the same template).
POINT PixelsOfPositionFile(const std::string& text) {
    const HWND dialog = app::CreateMainDialog();
    if (!dialog) return POINT{-99999, -99999};
    const host::DialogPosition units = host::ParsePositionFile(text);
    RECT r{units.left, units.top, units.left, units.top};
    ::MapDialogRect(dialog, &r);
    ::DestroyWindow(dialog);
    return POINT{r.left, r.top};
}

// Two lines, each a sign character (blank or '-'), decimal digits, one blank and CR LF.
bool IsPositionFileText(const std::string& text) {
    size_t at = 0;
    for (int line = 0; line < 2; ++line) {
        if (at >= text.size() || (text[at] != ' ' && text[at] != '-')) return false;
        const size_t digits = ++at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        if (at == digits || text.compare(at, 3, " \r\n") != 0) return false;
        at += 3;
    }
    return at == text.size();
}

TEST(EndToEnd, PositionSurvivesARestartButNotEscapeNorAMinimisedClose) {
    ProgramCopy program(L"Lumora-builder e2e " + std::to_wstring(::GetCurrentProcessId()) +
                        L".exe");
    ASSERT_TRUE(program.Copied());
    const POINT moved{200, 150};
    std::string closedThere;
    {
        SCOPED_TRACE("first run: moved, then closed from the system menu");
        auto child = program.Start();
        ASSERT_TRUE(child->Started());
        const HWND dialog = testing_support::WaitForWindow(child->Id(), program.Caption());
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, app::kBuildButtonId)));
        MoveTo(dialog, moved);
        SystemCommand(dialog, SC_CLOSE);
        EXPECT_EQ(child->ExitCode(), 0u);
        closedThere = program.PositionText();
        EXPECT_TRUE(IsPositionFileText(closedThere)) << closedThere;
        ExpectNear(PixelsOfPositionFile(closedThere), moved);
    }
    {
        SCOPED_TRACE("second run: opens there; moved again and left with Esc");
        auto child = program.Start();
        ASSERT_TRUE(child->Started());
        const HWND dialog = testing_support::WaitForWindow(child->Id(), program.Caption());
        ASSERT_NE(dialog, nullptr);
        ExpectNear(TopLeft(dialog), moved);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, app::kBuildButtonId)))
            << "a saved position does not enable Build";
        MoveTo(dialog, POINT{420, 330});
        PressEscape(dialog);
        EXPECT_EQ(child->ExitCode(), 0u);
        EXPECT_EQ(program.PositionText(), closedThere);
    }
    {
        SCOPED_TRACE("third run: minimising saves, closing while minimised does not");
        auto child = program.Start();
        ASSERT_TRUE(child->Started());
        const HWND dialog = testing_support::WaitForWindow(child->Id(), program.Caption());
        ASSERT_NE(dialog, nullptr);
        ExpectNear(TopLeft(dialog), moved);
        const POINT beforeMinimising{300, 220};
        MoveTo(dialog, beforeMinimising);
        SystemCommand(dialog, SC_MINIMIZE);
        EXPECT_TRUE(::IsIconic(dialog));
        const std::string minimised = program.PositionText();
        EXPECT_TRUE(IsPositionFileText(minimised)) << minimised;
        ExpectNear(PixelsOfPositionFile(minimised), beforeMinimising);
        SystemCommand(dialog, SC_CLOSE);
        EXPECT_EQ(child->ExitCode(), 0u);
        EXPECT_EQ(program.PositionText(), minimised);
    }
}

TEST(EndToEnd, CaptionAndPositionFileFollowTheProgramsName) {
    ProgramCopy program(L"Lumora-builder.exe");
    ASSERT_TRUE(program.Copied());
    {
        auto child = program.Start();
        ASSERT_TRUE(child->Started());
        const HWND dialog = testing_support::WaitForWindow(child->Id(), L"Lumora-builder 1.6");
        ASSERT_NE(dialog, nullptr);
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(child->ExitCode(), 0u);
    }
    const std::string formerPositionFile = program.PositionFile();
    const std::string formerPositionText = program.PositionText();
    ASSERT_TRUE(program.RenameTo(L"Mein Werkzeug.exe"));
    {
        auto child = program.Start();
        ASSERT_TRUE(child->Started());
        const HWND dialog = testing_support::WaitForWindow(child->Id(), L"Mein Werkzeug 1.6");
        ASSERT_NE(dialog, nullptr);
        MoveTo(dialog, POINT{250, 180});
        SystemCommand(dialog, SC_CLOSE);
        EXPECT_EQ(child->ExitCode(), 0u);
    }
    EXPECT_EQ(program.PositionFile(), host::LocalAppDataFolder() + "Mein Werkzeug.pos");
    ExpectNear(PixelsOfPositionFile(program.PositionText()), POINT{250, 180});
    EXPECT_EQ(host::ReadWholeFile(formerPositionFile, 4096).value_or("<none>"), formerPositionText)
        << "the old name's file is left alone";
}

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

class BuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::ChosenFolder.clear();
        app::IconSource.clear();
        app::PreviewIcon.Reset();
        dialog_ = app::CreateMainDialog();
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override {
        if (dialog_) ::DestroyWindow(dialog_);
        app::PreviewIcon.Reset();
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
    // The window that Build opened to show the new shortcut, closed again at the end.
    HWND Revealer(const std::set<HWND>& before) {
        const HWND window = WaitForNewForeignWindow(before);
        if (window) revealers_.insert(window);
        return window;
    }

    HWND dialog_ = nullptr;
    TempFolder temp_;
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

    const std::string report = testing_support::Lnkinfo(lnk, temp_.Path());
    SCOPED_TRACE(report);
    EXPECT_EQ(Lower(testing_support::LnkinfoField(report, "Local path")),
              Lower(host::ProgramFolder() + "Lumora.exe"));
    EXPECT_EQ(testing_support::LnkinfoField(report, "Working directory"),
              host::Narrow(folder) + "\\");
    EXPECT_EQ(testing_support::LnkinfoField(report, "Icon location"), host::Narrow(icon));

    const HWND revealer = Revealer(before);
    ASSERT_NE(revealer, nullptr) << "nothing showed the new shortcut";
    // Wine's explorer names its window after the folder it opened.
    EXPECT_EQ(WindowText(revealer), kUnicodeName);

    // Again over the same file, now without an icon (a cancelled icon choice forgets it): the
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
    const std::string replaced = testing_support::Lnkinfo(lnk, temp_.Path());
    SCOPED_TRACE(replaced);
    EXPECT_EQ(testing_support::LnkinfoField(replaced, "Working directory"),
              host::Narrow(folder) + "\\");
    EXPECT_EQ(testing_support::LnkinfoField(replaced, "Icon location"), "");
    EXPECT_NE(Revealer(beforeAgain), nullptr);
}

}  // namespace
