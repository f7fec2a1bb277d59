#include "wine/menu_builder_win.h"

#include <windows.h>
#include <shlobj.h>

#include "host/command_runner_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "wine/menu_builder.h"
#include "wine/wine_detect_win.h"

namespace wine {
namespace {

std::string ShellFolder(int csidl) {
    std::wstring folder(MAX_PATH, L'\0');  // the call takes a MAX_PATH buffer, no more
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder.data()))) {
        return {};
    }
    folder.resize(::wcslen(folder.c_str()));
    return host::Narrow(folder);
}

bool OnDesktopOrInStartMenu(const std::string& path) {
    for (const int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_STARTMENU,
                            CSIDL_COMMON_STARTMENU}) {
        if (LiesUnder(path, ShellFolder(csidl))) return true;
    }
    return false;
}

std::string FullPath(const std::string& path) {
    const std::wstring wide = host::Widen(path);
    const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    full.resize(::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr));
    return host::Narrow(full);
}

}  // namespace

bool HandToMenuBuilder(const std::string& shortcutPath) {
    if (!IsWine()) return false;
    const std::string path = FullPath(shortcutPath);
    if (!OnDesktopOrInStartMenu(path)) return false;
    const std::string system = host::SystemFolder();
    if (system.empty()) return false;
    // Not waited for: the menu builder reads the finished file on its own.
    return host::StartHiddenProcess(MenuBuilderCommandLine(system, path)).has_value();
}

}  // namespace wine
