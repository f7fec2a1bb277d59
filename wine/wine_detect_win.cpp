#include "wine/wine_detect_win.h"

#include <windows.h>

#include "host/text_encoding_win.h"
#include "host/unique_win.h"

namespace wine {
namespace {

using WineGetVersion = const char*(__cdecl*)();
using WineGetUnixFileName = char*(__cdecl*)(const wchar_t*);
using WineGetDosFileName = wchar_t*(__cdecl*)(const char*);

// ntdll and kernel32 are always loaded: take the module handles, never load or free them.
FARPROC Export(const wchar_t* module, const char* name) {
    const HMODULE handle = ::GetModuleHandleW(module);
    return handle ? ::GetProcAddress(handle, name) : nullptr;
}

FARPROC WineVersionExport() { return Export(L"ntdll.dll", "wine_get_version"); }

}  // namespace

bool IsWine() { return WineVersionExport() != nullptr; }

std::string WineVersion() {
    const auto getVersion = reinterpret_cast<WineGetVersion>(WineVersionExport());
    if (!getVersion) return {};
    const char* version = getVersion();
    return version ? std::string(version) : std::string();
}

std::optional<std::string> WineUnixFileName(const std::string& windowsPath) {
    static const auto translate =
        reinterpret_cast<WineGetUnixFileName>(Export(L"kernel32.dll", "wine_get_unix_file_name"));
    if (!translate || windowsPath.empty()) return std::nullopt;
    // Allocated on the process heap; the bytes are in the Unix character set (UTF-8).
    char* name = translate(host::Widen(windowsPath).c_str());
    if (!name) return std::nullopt;
    const host::UniqueHeapBlock block(name);
    return std::string(name);
}

std::optional<std::string> WineDosFileName(const std::string& unixPath) {
    static const auto translate =
        reinterpret_cast<WineGetDosFileName>(Export(L"kernel32.dll", "wine_get_dos_file_name"));
    if (!translate || unixPath.empty()) return std::nullopt;
    wchar_t* name = translate(unixPath.c_str());
    if (!name) return std::nullopt;
    const host::UniqueHeapBlock block(name);
    return host::Narrow(name);
}

}  // namespace wine
