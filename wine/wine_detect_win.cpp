#include "wine/wine_detect_win.h"

#include <windows.h>

namespace wine {
namespace {

using WineGetVersion = const char*(__cdecl*)();

// ntdll is always loaded: take the module handle, never load or free it.
FARPROC WineVersionExport() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll ? ::GetProcAddress(ntdll, "wine_get_version") : nullptr;
}

}  // namespace

bool IsWine() { return WineVersionExport() != nullptr; }

std::string WineVersion() {
    const auto getVersion = reinterpret_cast<WineGetVersion>(WineVersionExport());
    if (!getVersion) return {};
    const char* version = getVersion();
    return version ? std::string(version) : std::string();
}

}  // namespace wine
