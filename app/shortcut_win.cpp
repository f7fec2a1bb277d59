#include "app/shortcut_win.h"

#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/whole_file_win.h"

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

namespace app {

namespace {

using Microsoft::WRL::ComPtr;

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
    // known to be complete: it is saved beside it and then moved over it in one step.
    host::TempFileGuard temp(host::ClaimTempBeside(shortcutPath));
    if (!temp) return false;
    if (FAILED(file->Save(host::Widen(temp.Get()).c_str(), TRUE))) return false;
    return host::MoveIntoPlace(temp.Release(), shortcutPath);
}

}  // namespace app
