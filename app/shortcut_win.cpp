#include "app/shortcut_win.h"

#include "app/shortcut_path.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

namespace app {

namespace {

using Microsoft::WRL::ComPtr;

// Deletes the temporary file on every way out except the one where it became the shortcut.
class TempFileGuard {
public:
    explicit TempFileGuard(std::wstring path) noexcept : path_(std::move(path)) {}
    ~TempFileGuard() {
        if (!path_.empty()) ::DeleteFileW(path_.c_str());
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    void Dismiss() noexcept { path_.clear(); }

private:
    std::wstring path_;
};

// Claims a fresh temporary name beside the shortcut by creating the file exclusively, so a
// leftover of an earlier run or a file of another process is never overwritten. Empty when the
// folder cannot take a new file (missing, not writable).
std::wstring ClaimTempPath(const std::string& shortcutPath) {
    constexpr unsigned kAttempts = 100;
    const DWORD processId = ::GetCurrentProcessId();
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
        std::wstring temp = host::Widen(ShortcutTempPath(shortcutPath, processId, attempt));
        host::UniqueFile file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return temp;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

// Fills the link in the order the shell documents its fields; any failed setter would leave a
// shortcut that does not do what was asked, so it stops the operation.
HRESULT FillLink(IShellLinkW* link, const std::string& targetPath, const std::string& arguments,
                 const std::string& workingDirectory, int showCommand,
                 const std::string& description) {
    if (HRESULT hr = link->SetPath(host::Widen(targetPath).c_str()); FAILED(hr)) return hr;
    if (HRESULT hr = link->SetArguments(host::Widen(arguments).c_str()); FAILED(hr)) return hr;
    if (HRESULT hr = link->SetWorkingDirectory(host::Widen(workingDirectory).c_str()); FAILED(hr)) {
        return hr;
    }
    if (HRESULT hr = link->SetShowCmd(showCommand); FAILED(hr)) return hr;
    return link->SetDescription(host::Widen(description).c_str());
}

}  // namespace

bool CreateShortcut(const std::string& shortcutPath, const std::string& targetPath,
                    const std::string& arguments, const std::string& workingDirectory,
                    int showCommand, const std::string& iconPath, const std::string& description) {
    if (shortcutPath.empty()) return false;
    host::ComScope com;

    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&link)))) {
        return false;
    }
    if (FAILED(FillLink(link.Get(), targetPath, arguments, workingDirectory, showCommand,
                        description))) {
        return false;
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file))) return false;
    if (FAILED(link->SetIconLocation(host::Widen(iconPath).c_str(), 0))) return false;

    // Saving straight over shortcutPath would destroy the old shortcut before the new one is
    // known to be complete. The temporary file sits in the same folder, so the final move is a
    // rename that either replaces the old file whole or leaves it as it was.
    const std::wstring tempPath = ClaimTempPath(shortcutPath);
    if (tempPath.empty()) return false;
    TempFileGuard guard(tempPath);
    if (FAILED(file->Save(tempPath.c_str(), TRUE))) return false;
    const std::wstring finalPath = host::Widen(shortcutPath);
    if (!::MoveFileExW(tempPath.c_str(), finalPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return false;
    }
    guard.Dismiss();
    return true;
}

}  // namespace app
