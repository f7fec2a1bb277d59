// Loads Lumora-builder.exe as a library, the way an outside caller would, and calls the two
// functions it exports by name. Exit code 0 when every check holds.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int failures = 0;

void Check(bool condition, const char* what, double value) {
    std::printf("%s %s (%.4f)\n", condition ? "ok  " : "FAIL", what, value);
    if (!condition) ++failures;
}

std::wstring FolderOfThisProgram() {
    std::wstring path(32768, L'\0');
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

}  // namespace

int wmain() {
    const std::wstring exePath = FolderOfThisProgram() + L"Lumora-builder.exe";
    const HMODULE program = ::LoadLibraryW(exePath.c_str());
    if (program == nullptr) {
        std::printf("FAIL cannot load Lumora-builder.exe (error %lu)\n", ::GetLastError());
        return 1;
    }
    using VersionOfFile = double (*)(const char*);
    using InitControls = double (*)(int);
    const auto getSysFileVer =
        reinterpret_cast<VersionOfFile>(::GetProcAddress(program, "GETSYSFILEVER"));
    const auto initComCtl32 =
        reinterpret_cast<InitControls>(::GetProcAddress(program, "INITCOMCTL32"));
    Check(getSysFileVer != nullptr, "GETSYSFILEVER exported by name", 0);
    Check(initComCtl32 != nullptr, "INITCOMCTL32 exported by name", 0);
    if (getSysFileVer == nullptr || initComCtl32 == nullptr) return 1;

    const double comctl = getSysFileVer("COMCTL32.DLL");
    Check(comctl >= 5.8, "COMCTL32.DLL version is at least 5.80", comctl);
    const double initialised = initComCtl32(0);
    Check(initialised == comctl, "INITCOMCTL32(0) reports the same version", initialised);
    Check(initComCtl32(0x4) == comctl, "INITCOMCTL32(ICC_BAR_CLASSES) too", comctl);
    // The progress bar and the trackbar belong to the classes of the default mask.
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    Check(::GetClassInfoExW(nullptr, L"msctls_progress32", &info) != 0,
          "the progress bar class is registered", 0);
    Check(::GetClassInfoExW(nullptr, L"msctls_trackbar32", &info) != 0,
          "the trackbar class is registered", 0);

    const double kernel = getSysFileVer("kernel32.dll");
    Check(kernel >= 5.0, "kernel32.dll has a version", kernel);
    // win.ini exists (in the Windows folder) but holds no version resource.
    Check(getSysFileVer("..\\win.ini") == 0, "a file without a version gives 0",
          getSysFileVer("..\\win.ini"));
    Check(getSysFileVer("no-such-file.dll") == 0, "a missing file gives 0",
          getSysFileVer("no-such-file.dll"));
    Check(getSysFileVer("") == 0, "an empty name (the folder itself) gives 0", getSysFileVer(""));

    ::FreeLibrary(program);
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
