#include "host/window_position_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/whole_file_win.h"

namespace {

// A dialog like the main one: caption, system menu, centred, dialog units of 8-point
// "MS Sans Serif". Built from an in-memory template, no controls.
class TestDialog {
public:
    TestDialog() {
        std::vector<WORD> t;
        const auto add32 = [&t](DWORD v) {
            t.push_back(LOWORD(v));
            t.push_back(HIWORD(v));
        };
        const auto addText = [&t](const wchar_t* text) {
            for (; *text; ++text) t.push_back(*text);
            t.push_back(0);
        };
        add32(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT | DS_3DLOOK | DS_CENTER);
        add32(0);        // extended style
        t.push_back(0);  // no controls
        t.push_back(0);
        t.push_back(0);
        t.push_back(248);
        t.push_back(40);
        t.push_back(0);  // no menu
        t.push_back(0);  // standard dialog class
        addText(L"Position test");
        t.push_back(8);
        addText(L"MS Sans Serif");
        window_ = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                               reinterpret_cast<const DLGTEMPLATE*>(t.data()),
                                               nullptr, Procedure, 0);
    }
    ~TestDialog() {
        if (window_) ::DestroyWindow(window_);
    }
    TestDialog(const TestDialog&) = delete;
    TestDialog& operator=(const TestDialog&) = delete;

    HWND Get() const { return window_; }
    POINT TopLeft() const {
        RECT r{};
        ::GetWindowRect(window_, &r);
        return POINT{r.left, r.top};
    }
    // Screen pixels of a position given in the dialog's units.
    POINT Pixels(int x, int y) const {
        RECT r{x, y, x, y};
        ::MapDialogRect(window_, &r);
        return POINT{r.left, r.top};
    }
    void MoveTo(POINT p) const {
        ::SetWindowPos(window_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

private:
    static INT_PTR CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
    HWND window_ = nullptr;
};

// A position file of its own for each test, removed afterwards.
class PositionFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        name_ = "LumoraPositionTest-" + std::to_string(::GetCurrentProcessId());
        path_ = host::LocalAppDataFolder() + name_ + ".pos";
        ::DeleteFileW(host::Widen(path_).c_str());
    }
    void TearDown() override { ::DeleteFileW(host::Widen(path_).c_str()); }

    std::string FileText() const { return host::ReadWholeFile(path_, 4096).value_or("<none>"); }
    void WriteFileText(const std::string& text) const {
        ASSERT_TRUE(host::WriteWholeFile(path_, text));
    }
    static void ExpectNear(POINT actual, POINT expected) {
        EXPECT_LE(std::abs(actual.x - expected.x), 2) << actual.x << " vs " << expected.x;
        EXPECT_LE(std::abs(actual.y - expected.y), 2) << actual.y << " vs " << expected.y;
    }

    std::string name_;
    std::string path_;
};

TEST_F(PositionFileTest, FolderIsTheLocalApplicationDataFolder) {
    const std::string folder = host::LocalAppDataFolder();
    ASSERT_GE(folder.size(), 4u);
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_NE(folder[folder.size() - 2], '\\');
    EXPECT_TRUE(host::FileExists(folder));
    EXPECT_NE(folder.find("AppData\\Local"), std::string::npos) << folder;
}

TEST_F(PositionFileTest, SavesDialogUnitsAndRestoresThem) {
    POINT saved{};
    {
        const TestDialog dialog;
        ASSERT_NE(dialog.Get(), nullptr);
        saved = dialog.Pixels(120, 85);
        dialog.MoveTo(saved);
        host::SaveWindowPosition(dialog.Get(), name_);
    }
    EXPECT_EQ(FileText(), " 120 \r\n 85 \r\n");

    const TestDialog again;
    const POINT centred = again.TopLeft();
    host::RestoreWindowPosition(again.Get(), name_);
    ExpectNear(again.TopLeft(), saved);
    EXPECT_FALSE(centred.x == saved.x && centred.y == saved.y) << "the test must move the dialog";
}

TEST_F(PositionFileTest, NegativePositionsRoundTrip) {
    const TestDialog dialog;
    const POINT left = dialog.Pixels(-12, 16);
    dialog.MoveTo(left);
    host::SaveWindowPosition(dialog.Get(), name_);
    EXPECT_EQ(FileText(), "-12 \r\n 16 \r\n");
    dialog.MoveTo(POINT{300, 300});
    host::RestoreWindowPosition(dialog.Get(), name_);
    ExpectNear(dialog.TopLeft(), left);

    // One pixel left of the screen edge is still a negative position, not 0.
    dialog.MoveTo(POINT{-1, 40});
    host::SaveWindowPosition(dialog.Get(), name_);
    EXPECT_TRUE(FileText().starts_with("-1 \r\n")) << FileText();
}

TEST_F(PositionFileTest, MinimisedDialogSavesNothing) {
    const TestDialog dialog;
    ::ShowWindow(dialog.Get(), SW_SHOWNORMAL);
    ::ShowWindow(dialog.Get(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(dialog.Get()));
    host::SaveWindowPosition(dialog.Get(), name_);
    EXPECT_FALSE(host::FileExists(path_));
}

TEST_F(PositionFileTest, NothingOrZeroKeepsTheDialogCentred) {
    const TestDialog dialog;
    const POINT centred = dialog.TopLeft();
    host::RestoreWindowPosition(dialog.Get(), name_);  // no file
    EXPECT_EQ(dialog.TopLeft().x, centred.x);
    EXPECT_EQ(dialog.TopLeft().y, centred.y);
    for (const char* text : {" 0 \r\n 0 \r\n", "junk\r\nmore junk\r\n", "", "  0.4 \r\n-0.2\r\n"}) {
        SCOPED_TRACE(text);
        WriteFileText(text);
        host::RestoreWindowPosition(dialog.Get(), name_);
        EXPECT_EQ(dialog.TopLeft().x, centred.x);
        EXPECT_EQ(dialog.TopLeft().y, centred.y);
    }
}

TEST_F(PositionFileTest, HandEditedFileIsAccepted) {
    const TestDialog dialog;
    WriteFileText("   120.6   \r\n  85\r\n");
    host::RestoreWindowPosition(dialog.Get(), name_);
    ExpectNear(dialog.TopLeft(), dialog.Pixels(121, 85));

    // A missing second line puts the dialog at the top of the screen.
    WriteFileText(" 60 \r\n");
    host::RestoreWindowPosition(dialog.Get(), name_);
    ExpectNear(dialog.TopLeft(), dialog.Pixels(60, 0));
}

TEST_F(PositionFileTest, PositionOffEveryMonitorComesBackIntoView) {
    const TestDialog dialog;
    RECT size{};
    ::GetWindowRect(dialog.Get(), &size);
    for (const char* text : {" 20000 \r\n 20000 \r\n", "-20000 \r\n 30 \r\n",
                             "99999999999999999999\r\n-99999999999999\r\n"}) {
        SCOPED_TRACE(text);
        WriteFileText(text);
        host::RestoreWindowPosition(dialog.Get(), name_);
        RECT now{};
        ::GetWindowRect(dialog.Get(), &now);
        EXPECT_EQ(now.right - now.left, size.right - size.left) << "the size is kept";
        const HMONITOR monitor = ::MonitorFromRect(&now, MONITOR_DEFAULTTONULL);
        ASSERT_NE(monitor, nullptr);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(::GetMonitorInfoW(monitor, &info));
        EXPECT_GE(now.left, info.rcWork.left);
        EXPECT_GE(now.top, info.rcWork.top);
        EXPECT_LE(now.right, info.rcWork.right);
        EXPECT_LE(now.bottom, info.rcWork.bottom);
    }
}

}  // namespace
