// Helpers shared by the Wine tests of the dialog and the start-up: temporary folders (long paths
// included), message boxes closed from a watcher thread, windows of other processes, child
// processes, and shortcuts read by lnkinfo on the Unix side.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "host/unique_win.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <future>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace testing_support {

// A fresh folder under TEMP, removed with everything inside when the object goes away.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // With the trailing backslash.
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// Sets an environment variable of this process (nullptr: removes it) and puts the old value
// back afterwards.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const wchar_t* value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const wchar_t* name_;
    std::wstring old_;
    bool hadValue_ = false;
};

// "\\?\" in front of an absolute drive path, so that the calls work past MAX_PATH (slashes
// become backslashes, as the prefix takes the path literally).
std::wstring Extended(const std::wstring& path);
bool MakeFolder(const std::wstring& path);
// Whole files, past MAX_PATH too; UTF-8 paths or wide ones. A missing file reads as empty.
std::string ReadBytes(const std::wstring& path);
std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool WriteBytes(const std::string& path, const std::string& bytes);
void RemoveTree(const std::wstring& path);
// A file, or a folder with everything in it.
void RemovePath(const std::string& path);

// The lines of a text, each ended by LF (a last line without one is left out).
std::vector<std::string> Lines(const std::string& text);
// Numbers in file bytes: big-endian (PNG) and little-endian (ICO).
std::uint32_t Be32(std::string_view bytes, std::size_t at);
std::uint32_t Le32(std::string_view bytes, std::size_t at);

// "Fotos Café 写真": a name that only Unicode file APIs keep intact.
inline const std::wstring kUnicodeName = L"Fotos Caf\u00e9 \u5199\u771f";
// A file beside the test program (the build folder); "..\..\tests\data\x" reaches the sources.
std::wstring BuiltFile(const std::wstring& name);

// The test user and the Linux home scripts/test made for it: "z:\home\<user>\" seen from
// Windows, "/home/<user>/" from Unix.
std::string UserName();
std::string HomeWindows();
std::string HomeUnix();

struct BoxSeen {
    bool found = false;
    std::wstring text;
};
// Watches for a top-level window of this process with the given caption, reads its message
// text, presses OK. Gives up after about ten seconds.
std::future<BoxSeen> CloseMessageBoxLater(std::wstring caption, DWORD processId);

// The visible top-level window of a process whose caption is exactly the text, at once.
HWND FindProcessWindow(DWORD processId, const std::wstring& caption);
// The visible top-level window of a process whose caption is exactly the text; polls for about
// twenty seconds, or the time given. Empty when none appeared.
HWND WaitForWindow(DWORD processId, const std::wstring& caption,
                   std::chrono::milliseconds limit = std::chrono::seconds(20));
std::wstring MessageBoxText(HWND box);
// Waits (about twenty seconds) for a window of this process that the owner opened, such as a
// file dialog or the folder browser, and cancels it; answers its caption, empty when none came.
std::future<std::wstring> CancelOwnedWindowLater(HWND owner);

// A message box of this process, as BoxAnswerer saw it.
struct Box {
    std::wstring text;
    bool hasCancel = false;
};

// Answers the program's message boxes (caption: the program name) in turn with the given
// buttons, from its own thread, while the code under test runs on the test's thread. Any box
// beyond the planned answers is closed with its Cancel/No/OK so that a wrong turn cannot hang
// the test.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::vector<int> buttons);
    ~BoxAnswerer() { Finish(); }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    // Call once the code under test has returned: every box it showed has been answered by then.
    const std::vector<Box>& Finish();

private:
    void Run();

    std::vector<int> buttons_;
    std::vector<Box> seen_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// What a registration of this test program writes: its desktop entry, its copy and the viewer's
// in C:\Apps and the relaunch batch. The fixture removes them, and its icons, before and after
// each test.
std::string OwnEntry();
std::string AppsCopy();
std::string AppsCompanion();
std::string RelaunchBatch();
class RegistrationFixture : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean();
};

// The main dialog of this process (app::CreateMainDialog), made afresh for each test with the
// program-wide state empty, and a scratch folder.
class MainDialogFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Drops the paths on the dialog as Explorer would; the dialog releases the drop.
    void Drop(const std::vector<std::wstring>& paths);
    std::wstring FolderEntryText() const;
    bool BuildEnabled() const;
    HANDLE PreviewImage() const;
    // The folder is taken as given, shown with one trailing backslash, and Build is enabled.
    void ExpectFolderChosen(const std::wstring& folder);

    HWND dialog_ = nullptr;
    TempFolder temp_;
};

// A 16 x 16, 32-bit icon file: directory, one entry, the bitmap and the AND mask.
std::string TinyIcon();
// The same picture as a .bmp file.
std::string TinyBitmapFile();

// The icon conversion's picture control in a window of its own (app::MainDialog), and a folder
// in the home with images made by the real ImageMagick on the Unix side: big.png, photo.jpg and
// small.bmp.
class IconConversionFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A copy of one of the generated images under the given name, made through Windows.
    std::string ImageNamed(const std::string& generated, const std::string& name);
    // Text a command prints on the Unix side.
    static std::string Unix(const std::string& command);
    // Runs the commands (ImageMagick's, say) in the image folder; true when all of them worked.
    bool MakeImages(const std::string& commands) const;
    // Converts the image and checks what the user gets: the nine-size icon beside it, named by
    // IconSource and shown; no other new file beside it or in TEMP; the image itself untouched.
    void ExpectConverted(const std::string& source, const std::string& target);
    // After a failed conversion of the image: the earlier icon is still the choice and still
    // shown, an older .ico of the image's name is as it was, and nothing is left behind.
    void ExpectNothingChangedBy(const std::string& image);

    // A posted WM_APP with a std::string* drops that path on the window; the flag says one came.
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static inline bool droppedDuringConversion_ = false;

    std::string unixFolder_;
    std::string folder_;
};
// The sizes every converted icon holds.
inline const std::vector<int> kNineSizes = {16, 24, 32, 48, 64, 72, 96, 128, 256};
// The icon the picture control shows now.
HICON ShownIcon();
// The names in a folder, sorted.
std::set<std::string> FilesIn(const std::string& folder);
// What conversions left in TEMP: their own folders (lumora-icon-*), and the order and pipe of
// the shell started for one (lumora-*.order, lumora-*.pipe).
std::set<std::string> ConversionLeftovers();

// A stand-in for the Linux convert, first on the Unix search path of the test run
// (LUMORA_TEST_BIN): it notes its process id, then waits for Release (at most 30 seconds) before
// it hands on to the real convert. Taken away, and released, when the object goes.
class SlowConverter {
public:
    SlowConverter();
    ~SlowConverter();
    SlowConverter(const SlowConverter&) = delete;
    SlowConverter& operator=(const SlowConverter&) = delete;
    bool Ready() const { return !folder_.empty(); }
    // Polls for the stand-in to have started, up to the limit.
    bool WaitUntilStarted(std::chrono::milliseconds limit = std::chrono::seconds(20)) const;
    void Release() const;
    // How many times the stand-in has started.
    int Starts() const;
    // Whether the stand-in that started last still runs; polls up to `limit` for it to end.
    bool StillRunningAfter(std::chrono::milliseconds limit) const;

private:
    std::string folder_;  // Unix view, with its trailing '/'
};

// A program started as a child process; still running when the object goes away, it is ended.
class ChildProcess {
public:
    // The arguments follow the quoted program path on the command line.
    ChildProcess(const std::wstring& program, const std::wstring& currentFolder,
                 const std::wstring& arguments = L"");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    bool Started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    // The exit code once the process has ended, or STILL_ACTIVE when it did not within 20 s.
    DWORD ExitCode() const;

private:
    host::UniqueHandle process_;
    DWORD id_ = 0;
};

// The square sizes listed in an ICO directory, sorted (a width byte of 0 means 256; -1 for an
// image that is not square); empty when the bytes are no icon file.
std::vector<int> IconSizes(const std::string& ico);
// Every image of the icon is 32 bits a pixel: 8-bit RGBA PNG or 32-bit bitmap.
bool EveryIconImageHas8BitChannels(const std::string& ico);

// Wine's own mapping from a Windows path to the Unix one; empty outside Wine.
std::string UnixPathOf(const std::wstring& path);
// The report of lnkinfo (liblnk, an independent reader of shortcuts) on a .lnk file, run on the
// Unix side; its script and output are written into the scratch folder (with trailing "\").
std::string Lnkinfo(const std::wstring& lnk, const std::wstring& scratchFolder);
// The value of one "Name : value" line of lnkinfo's report.
std::string LnkinfoField(const std::string& report, const std::string& name);

}  // namespace testing_support
