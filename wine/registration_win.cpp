#include "wine/registration_win.h"

#include <windows.h>

#include "host/batch_file.h"
#include "host/command_runner_win.h"
#include "host/command_search.h"
#include "host/environment_win.h"
#include "host/file_identity_win.h"
#include "host/message_box_win.h"
#include "host/path_text.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/whole_file_win.h"
#include "wine/desktop_entry.h"
#include "wine/desktop_entry_win.h"
#include "wine/drive_map_win.h"
#include "wine/registration_text.h"
#include "wine/wine_detect_win.h"

namespace wine {
namespace {

constexpr UINT kRelaunchExitCode = 12345;
constexpr char kAppsFolder[] = "C:\\Apps";
constexpr char kCompanionName[] = "Lumora.exe";
constexpr char kCopyFailedText[] =
    "The program could not be copied to C:\\Apps.\r\n"
    "It will be registered in its present folder.\r\n\r\n"
    "Click OK to continue the program.";
constexpr std::size_t kMaxEntryBytes = 64 * 1024;

int Ask(const std::string& text, UINT buttons) {
    return host::ShowMessageBox(nullptr, text, buttons | MB_ICONQUESTION);
}

void ShowFailure(const std::string& text) {
    host::ShowMessageBox(nullptr, text, MB_OK | MB_ICONEXCLAMATION);
}

// The program folder as the Unix side sees it, ending in '/'.
std::string UnixProgramFolder() {
    const std::string folder = host::ProgramFolder();
    const size_t start = folder.find_first_not_of('\\');
    return ToUnixPath(start == std::string::npos ? std::string() : folder.substr(start));
}

EntryKind EntryKindAt(const std::string& entryPath) {
    const auto text = host::ReadWholeFile(entryPath, kMaxEntryBytes);
    return text ? DesktopEntryKind(*text) : EntryKind::None;
}

// Copies the program into C:\Apps (an older copy is replaced), the companion viewer first: the
// copy starts only beside it, and shortcuts made there point at it. The copy's path, or empty
// when either could not be copied; the program at its old place and its viewer stay as they are.
std::string CopyToApps(const std::string& programPath) {
    const std::wstring apps = host::Widen(kAppsFolder);
    ::CreateDirectoryW(apps.c_str(), nullptr);  // may exist already
    const std::wstring companion = host::Widen(host::ProgramFolder() + kCompanionName);
    const std::wstring companionCopy = apps + L"\\" + host::Widen(kCompanionName);
    if (!::CopyFileW(companion.c_str(), companionCopy.c_str(), FALSE)) return {};
    const std::string copy = std::string(kAppsFolder) + "\\" + host::FileNameOf(programPath);
    if (!::CopyFileW(host::Widen(programPath).c_str(), host::Widen(copy).c_str(), FALSE)) return {};
    return copy;
}

// The relaunch batch deletes the program at its old place and starts the copy; this process ends
// here so that the old file is free to delete.
void RelaunchFrom(const std::string& programPath, const std::string& target,
                  void (*beforeRelaunch)()) {
    const std::string temp = host::TempFolder();
    if (temp.empty()) return;
    const std::string batchPath = temp + RelaunchBatchName(host::ProgramName());
    const host::BatchFile batch = RelaunchBatch(programPath, target);
    if (!host::WriteWholeFile(batchPath, batch.text)) return;
    {
        // cmd inherits the variables that carry the letters the batch cannot hold.
        host::ScopedEnvironment environment;
        for (const auto& [name, value] : batch.variables) environment.Set(name, value);
        // cmd expands %name% in the batch path it is given, as in the command runner.
        for (const std::string& name : host::PercentEnclosedNames(batchPath))
            environment.Remove(name);
        // The system's command interpreter by its full path runs the batch, hidden.
        if (host::StartHiddenProcess(
                host::ProgramCommandLine(host::SystemProgramPath("cmd.exe"), batchPath, ""))) {
            // Ending the process skips every destructor: what runs must end first.
            if (beforeRelaunch) beforeRelaunch();
            ::ExitProcess(kRelaunchExitCode);
        }
    }
    ::DeleteFileW(host::Widen(batchPath).c_str());
}

}  // namespace

void RegisterLinuxApp(bool interactive, bool show, const std::string& alternativeName,
                      void (*beforeRelaunch)()) {
    if (!IsWine()) return;
    const std::string programPath = host::ProgramPath();
    // At every start, registered or not: the file managers show the program with its icon.
    SetCustomIcon(programPath, ExportDesktopIcon(programPath));
    // The entry file is the only record of an earlier registration. A hidden entry, which only
    // gives the window its icon, does not stand for the menu entry asked for.
    const EntryKind present = EntryKindAt(DesktopEntryPath(programPath, alternativeName));
    if (present == EntryKind::Shown || (present == EntryKind::Hidden && !show)) return;

    std::string target = programPath;
    if (interactive) {
        if (Ask(RegisterQuestionText(), MB_YESNO) == IDNO) return;
        // The same folder however it is spelled: any case, "\\?\", or through Z:.
        if (!host::SameFile(host::ProgramFolder(), kAppsFolder)) {
            const int answer = Ask(RelocateQuestionText(UnixProgramFolder()), MB_YESNOCANCEL);
            if (answer == IDCANCEL) return;
            if (answer == IDYES) {
                // Without a copy the relaunch would delete the only program file: register it
                // where it is instead.
                if (const std::string copy = CopyToApps(programPath); !copy.empty()) {
                    target = copy;
                } else {
                    ShowFailure(kCopyFailedText);
                }
            }
        }
    }

    if (CreateDesktopEntry(target, show, alternativeName) <= 0) {
        if (interactive) ShowFailure(RegistrationFailedText());
        return;
    }
    if (interactive && target != programPath) RelaunchFrom(programPath, target, beforeRelaunch);
}

bool LinuxMenuEntryExists() {
    return EntryKindAt(DesktopEntryPath(host::ProgramPath(), "")) == EntryKind::Shown;
}

void UnregisterLinuxApp() { CreateDesktopEntry(host::ProgramPath(), false, ""); }

}  // namespace wine
