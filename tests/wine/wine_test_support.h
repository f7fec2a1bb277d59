// Helpers shared by the Wine tests of the dialog and the start-up: temporary folders (long paths
// included), message boxes closed from a watcher thread, windows of other processes, child
// processes, and shortcuts read by lnkinfo on the Unix side.
#pragma once

#include <windows.h>

#include "host/unique_win.h"

#include <chrono>
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
// twenty seconds, or the time given. Empty when none appeared.
HWND WaitForWindow(DWORD processId, const std::wstring& caption,
                   std::chrono::milliseconds limit = std::chrono::seconds(20));
std::wstring MessageBoxText(HWND box);

// A program started as a child process; still running when the object goes away, it is ended.
class ChildProcess {
public:
    ChildProcess(const std::wstring& program, const std::wstring& currentFolder);
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

// Wine's own mapping from a Windows path to the Unix one; empty outside Wine.
std::string UnixPathOf(const std::wstring& path);
// The report of lnkinfo (liblnk, an independent reader of shortcuts) on a .lnk file, run on the
// Unix side; its script and output are written into the scratch folder (with trailing "\").
std::string Lnkinfo(const std::wstring& lnk, const std::wstring& scratchFolder);
// The value of one "Name : value" line of lnkinfo's report.
std::string LnkinfoField(const std::string& report, const std::string& name);

}  // namespace testing_support
