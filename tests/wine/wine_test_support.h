// Helpers shared by the Wine tests of the dialog and the start-up: temporary folders (long paths
// included), message boxes closed from a watcher thread, windows of other processes.
#pragma once

#include <windows.h>

#include <future>
#include <string>
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

// "\\?\" in front of an absolute drive path, so that the calls work past MAX_PATH.
std::wstring Extended(const std::wstring& path);
bool MakeFolder(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
void RemoveTree(const std::wstring& path);

struct BoxSeen {
    bool found = false;
    std::wstring text;
};
// Watches for a top-level window of this process with the given caption, reads its message
// text, presses OK. Gives up after about ten seconds.
std::future<BoxSeen> CloseMessageBoxLater(std::wstring caption, DWORD processId);

// The visible top-level window of a process whose caption is exactly the text; polls for about
// twenty seconds. Empty when none appeared.
HWND WaitForWindow(DWORD processId, const std::wstring& caption);
std::wstring MessageBoxText(HWND box);

}  // namespace testing_support
