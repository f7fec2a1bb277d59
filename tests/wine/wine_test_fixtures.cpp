// Fixtures shared by the Wine tests of the dialog and of the icon conversion.
#include "tests/wine/wine_test_support.h"

#include <shlobj.h>

#include "app/dialog_ids.h"
#include "app/drop_win.h"
#include "app/icon_command.h"
#include "app/icon_convert_win.h"
#include "app/main_dialog_win.h"
#include "app/state_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "wine/shell_quote.h"
#include "wine/unix_bridge_win.h"

namespace testing_support {

namespace {

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

}  // namespace

namespace {

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

}  // namespace

std::string TinyIcon() {
    const std::string image = TinyBitmapImage(32) + std::string(16 * 4, '\0');
    std::string ico;
    Append(ico, 0, 2), Append(ico, 1, 2), Append(ico, 1, 2);
    ico.append({16, 16, 0, 0});
    Append(ico, 1, 2), Append(ico, 32, 2), Append(ico, static_cast<unsigned>(image.size()), 4);
    Append(ico, 6 + 16, 4);
    return ico + image;
}

std::string TinyBitmapFile() {
    const std::string image = TinyBitmapImage(16);
    std::string bmp = "BM";
    Append(bmp, static_cast<unsigned>(14 + image.size()), 4), Append(bmp, 0, 4);
    Append(bmp, 14 + 40, 4);
    return bmp + image;
}

void MainDialogFixture::SetUp() {
    app::ChosenFolder.clear();
    app::IconSource.clear();
    app::PreviewIcon.Reset();
    dialog_ = app::CreateMainDialog();
    ASSERT_NE(dialog_, nullptr);
    ASSERT_EQ(app::MainDialog, dialog_);
}

void MainDialogFixture::TearDown() {
    if (dialog_) ::DestroyWindow(dialog_);
    app::PreviewIcon.Reset();
}

void MainDialogFixture::Drop(const std::vector<std::wstring>& paths) {
    ::SendMessageW(dialog_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

std::wstring MainDialogFixture::FolderEntryText() const {
    std::wstring text(40000, L'\0');
    text.resize(::GetDlgItemTextW(dialog_, app::kFolderEntryId, text.data(), 40000));
    return text;
}

bool MainDialogFixture::BuildEnabled() const {
    return ::IsWindowEnabled(::GetDlgItem(dialog_, app::kBuildButtonId));
}

HANDLE MainDialogFixture::PreviewImage() const {
    return reinterpret_cast<HANDLE>(
        ::SendDlgItemMessageW(dialog_, app::kIconPictureId, STM_GETIMAGE, IMAGE_ICON, 0));
}

void MainDialogFixture::ExpectFolderChosen(const std::wstring& folder) {
    EXPECT_EQ(app::ChosenFolder, host::Narrow(folder) + "\\");
    EXPECT_EQ(FolderEntryText(), folder + L"\\");
    EXPECT_TRUE(BuildEnabled());
}

HICON ShownIcon() {
    return reinterpret_cast<HICON>(
        ::SendDlgItemMessageW(app::MainDialog, app::kIconPictureId, STM_GETIMAGE, IMAGE_ICON, 0));
}

// The names in a folder, sorted.
std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAW entry{};
    const HANDLE find = ::FindFirstFileW(host::Widen(folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") names.insert(host::Narrow(name));
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return names;
}

// What conversions left in TEMP: their own folders are named lumora-icon-*.
std::set<std::string> ConversionLeftovers() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    std::set<std::string> left;
    for (const std::string& name : FilesIn(host::Narrow(temp))) {
        const bool standby = name.ends_with(".order") || name.ends_with(".pipe");
        if (name.starts_with("lumora-icon-") || (name.starts_with("lumora-") && standby))
            left.insert(name);
    }
    return left;
}

// While a conversion waits, a posted WM_APP plays a user who drops another file meanwhile.
LRESULT CALLBACK IconConversionFixture::HostProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_APP) {
        droppedDuringConversion_ = true;
        app::HandleDroppedPath(*reinterpret_cast<const std::string*>(lParam));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void IconConversionFixture::SetUp() {
    ASSERT_FALSE(testing_support::UserName().empty());
    unixFolder_ = testing_support::HomeUnix() + "icon test";
    folder_ = testing_support::HomeWindows() + "icon test\\";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LumoraIconTestHost";
    ::RegisterClassW(&windowClass);
    app::MainDialog =
        ::CreateWindowExW(0, L"LumoraIconTestHost", L"icon test", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                          200, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_TRUE(app::MainDialog);
    ASSERT_TRUE(::CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON, 0, 0, 32, 32, app::MainDialog,
        reinterpret_cast<HMENU>(INT_PTR{app::kIconPictureId}), windowClass.hInstance, nullptr));
    const std::string folder = wine::ShellQuote(unixFolder_);
    ASSERT_EQ(Unix("rm -rf " + folder + " && mkdir " + folder + " && echo made"), "made\n");
    ASSERT_TRUE(MakeImages(
        "convert -size 300x300 xc:red -fill blue -draw 'circle 150,150 150,40' -depth 16 big.png "
        "&& convert -size 640x480 xc:green photo.jpg && convert -size 48x48 xc:yellow small.bmp"));
}

bool IconConversionFixture::MakeImages(const std::string& commands) const {
    return Unix("cd " + wine::ShellQuote(unixFolder_) + " && " + commands + " && echo made") ==
           "made\n";
}

void IconConversionFixture::TearDown() {
    ::DestroyWindow(app::MainDialog);
    app::MainDialog = nullptr;
    app::PreviewIcon.Reset();
    app::IconSource.clear();
    wine::RunUnixCaptured("rm -rf " + wine::ShellQuote(unixFolder_) + " && echo gone");
}

std::string IconConversionFixture::ImageNamed(const std::string& generated,
                                              const std::string& name) {
    const std::string path = folder_ + name;
    EXPECT_TRUE(
        ::CopyFileW(host::Widen(folder_ + generated).c_str(), host::Widen(path).c_str(), FALSE));
    return path;
}

std::string IconConversionFixture::Unix(const std::string& command) {
    return wine::RunUnixCaptured(command);
}

void IconConversionFixture::ExpectConverted(const std::string& source, const std::string& target) {
    SCOPED_TRACE(source);
    const std::string sourceBytes = ReadBytes(source);
    const std::string folder = source.substr(0, source.rfind('\\') + 1);
    std::set<std::string> expectedFiles = FilesIn(folder);
    if (target.starts_with(folder)) expectedFiles.insert(target.substr(folder.size()));
    app::ConvertIcon(source);
    EXPECT_EQ(app::IconSource, target);
    EXPECT_EQ(IconSizes(ReadBytes(target)), kNineSizes);
    EXPECT_TRUE(EveryIconImageHas8BitChannels(ReadBytes(target)));
    EXPECT_EQ(FilesIn(folder), expectedFiles);
    EXPECT_EQ(ConversionLeftovers(), std::set<std::string>());
    EXPECT_EQ(ReadBytes(source), sourceBytes);
    EXPECT_TRUE(app::PreviewIcon);
    EXPECT_EQ(ShownIcon(), app::PreviewIcon.Get());
}

void IconConversionFixture::ExpectNothingChangedBy(const std::string& image) {
    SCOPED_TRACE(image);
    const std::string choice = app::IconSource;
    const HICON shown = ShownIcon();
    const std::set<std::string> files = FilesIn(folder_);
    const std::string older = ReadBytes(*app::IconTargetPath(image));
    app::ConvertIcon(image);
    EXPECT_EQ(app::IconSource, choice);
    EXPECT_EQ(ShownIcon(), shown);
    EXPECT_EQ(app::PreviewIcon.Get(), shown);
    EXPECT_EQ(ReadBytes(*app::IconTargetPath(image)), older);
    EXPECT_EQ(FilesIn(folder_), files);
    EXPECT_EQ(ConversionLeftovers(), std::set<std::string>());
}

SlowConverter::SlowConverter() {
    const std::string folder = host::EnvironmentVariable("LUMORA_TEST_BIN");
    if (folder.empty()) return;
    const std::string quoted = wine::ShellQuote(folder);
    const std::string script =
        "#!/bin/sh\nd=$(dirname \"$0\")\necho $$ > \"$d/convert.pid\"\necho $$ >> "
        "\"$d/convert.starts\"\ni=0\n"
        "while [ ! -e \"$d/convert.go\" ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i+1)); done\n"
        "exec /usr/bin/convert \"$@\"\n";
    if (wine::RunUnixCaptured(
            "cd " + quoted + " && rm -f convert.pid convert.starts convert.go && printf '%s' " +
            wine::ShellQuote(script) + " > convert && chmod +x convert && echo ok") == "ok\n")
        folder_ = folder + "/";
}

SlowConverter::~SlowConverter() {
    if (folder_.empty()) return;
    const std::string quoted = wine::ShellQuote(folder_);
    wine::RunUnixCaptured("cd " + quoted + " && rm -f convert && touch convert.go");
}

bool SlowConverter::WaitUntilStarted(std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (Ready()) {
        if (wine::RunUnixCaptured("test -s " + wine::ShellQuote(folder_ + "convert.pid") +
                                  " && echo yes") == "yes\n")
            return true;
        if (std::chrono::steady_clock::now() >= deadline) break;
        ::Sleep(100);
    }
    return false;
}

void SlowConverter::Release() const {
    wine::RunUnixCaptured("touch " + wine::ShellQuote(folder_ + "convert.go"));
}

int SlowConverter::Starts() const {
    return std::atoi(
        wine::RunUnixCaptured("cat " + wine::ShellQuote(folder_ + "convert.starts") + " | wc -l")
            .c_str());
}

bool SlowConverter::StillRunningAfter(std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        if (wine::RunUnixCaptured("kill -0 $(cat " + wine::ShellQuote(folder_ + "convert.pid") +
                                  ") 2>/dev/null && echo yes") != "yes\n")
            return false;
        ::Sleep(100);
    } while (std::chrono::steady_clock::now() < deadline);
    return true;
}

}  // namespace testing_support
