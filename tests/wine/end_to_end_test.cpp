// The program as the user meets it: the built Lumora-builder.exe started as a process of its own,
// its caption and its position file across restarts.
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

using testing_support::BuiltFile;
using testing_support::kUnicodeName;

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

// Closing while a slow converter works: the program ends at once, and nothing of the conversion
// is left or comes later.
TEST(EndToEnd, EscapeDuringAConversionEndsTheProgramAndTheConversion) {
    testing_support::SlowConverter converter;
    ASSERT_TRUE(converter.Ready());
    ProgramCopy program(L"Lumora-builder.exe");
    ASSERT_TRUE(program.Copied());
    const std::wstring image = program.Folder() + L"Holiday.bmp";
    ASSERT_TRUE(testing_support::WriteBytes(image, testing_support::TinyBitmapFile()));
    auto child = program.Start();
    ASSERT_TRUE(child->Started());
    const HWND dialog = testing_support::WaitForWindow(child->Id(), program.Caption());
    ASSERT_NE(dialog, nullptr);
    // The picture, clicked: the icon is chosen in the open dialog.
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(app::kIconPictureId, 0), 0);
    const HWND open = testing_support::WaitForWindow(child->Id(), L"Select shortcut icon");
    ASSERT_NE(open, nullptr);
    ::SendMessageW(::GetDlgItem(open, cmb13), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(image.c_str()));
    ::PostMessageW(open, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(converter.WaitUntilStarted());

    PressEscape(dialog);
    // Waited for up to 20 s, while the converter would take 30 s.
    EXPECT_EQ(child->ExitCode(), 0u);
    EXPECT_FALSE(converter.StillRunningAfter(std::chrono::seconds(5)));
    converter.Release();
    ::Sleep(500);
    EXPECT_FALSE(host::FileExists(host::Narrow(program.Folder() + L"Holiday.ico")));
    EXPECT_EQ(testing_support::ConversionLeftovers(), std::set<std::string>());
}

}  // namespace
