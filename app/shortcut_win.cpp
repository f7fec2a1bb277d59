#include "app/shortcut_win.h"

#include "host/deferred_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/whole_file_win.h"
#include "wine/menu_builder_win.h"

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <optional>

namespace app {

namespace {

using Microsoft::WRL::ComPtr;

constexpr ULONGLONG kMaxLinkBytes = 1024 * 1024;

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

// The link's bytes, as its file-saving interface would write them. Saved through a stream, not
// to a file: Wine's shell hands every file a link is saved to to its menu builder, which would
// make a Linux launcher of the temporary name.
std::optional<std::string> LinkBytes(IShellLinkW* link) {
    ComPtr<IPersistStream> persist;
    if (FAILED(link->QueryInterface(IID_PPV_ARGS(&persist)))) return std::nullopt;
    ComPtr<IStream> stream;
    if (FAILED(host::deferred::CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return std::nullopt;
    if (FAILED(persist->Save(stream.Get(), TRUE))) return std::nullopt;
    const LARGE_INTEGER start{};
    ULARGE_INTEGER end{};
    if (FAILED(stream->Seek(start, STREAM_SEEK_END, &end)) || end.QuadPart > kMaxLinkBytes ||
        FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(end.QuadPart), '\0');
    ULONG read = 0;
    if (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) ||
        read != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

bool CreateShortcut(const std::string& shortcutPath, const std::string& targetPath,
                    const std::string& arguments, const std::string& workingDirectory,
                    int showCommand, const std::string& iconPath, const std::string& description) {
    if (shortcutPath.empty()) return false;
    host::ComScope com;

    ComPtr<IShellLinkW> link;
    if (FAILED(host::deferred::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_PPV_ARGS(&link)))) {
        return false;
    }
    if (FAILED(FillLink(link.Get(), targetPath, arguments, workingDirectory, showCommand,
                        description))) {
        return false;
    }
    if (FAILED(link->SetIconLocation(host::Widen(iconPath).c_str(), 0))) return false;
    const std::optional<std::string> bytes = LinkBytes(link.Get());
    if (!bytes) return false;

    // Saving straight over shortcutPath would destroy the old shortcut before the new one is
    // known to be complete: it is written beside it and then moved over it in one step.
    if (!host::ReplaceWholeFile(shortcutPath, *bytes)) return false;
    // Under Wine the finished shortcut gets its Linux launcher, as one saved by Wine's shell does.
    wine::HandToMenuBuilder(shortcutPath);
    return true;
}

}  // namespace app
