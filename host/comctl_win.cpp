#include "host/comctl_win.h"

#include <windows.h>
#include <commctrl.h>

#include "host/file_version.h"
#include "host/own_imports_win.h"
#include "host/unique_win.h"

// Both functions are exported and may be called by a process that merely loaded the executable
// as a library, where the C++ run-time of this program was never started (and, under Wine,
// the module never relocated nor its imports bound): they prepare the module first, then use the
// Win32 API, the process heap and plain arithmetic only.

namespace {

using host::UniqueHeapBlock;

UniqueHeapBlock AllocateBytes(SIZE_T size) {
    return UniqueHeapBlock(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, size));
}

// The system folder, a backslash unless it already ends in one, and the name. Nothing when
// any part cannot be had: a path cut short could name another file.
UniqueHeapBlock SystemFilePath(const char* fileName) {
    const UINT folderSize = ::GetSystemDirectoryW(nullptr, 0);  // NUL included
    const int nameSize = ::MultiByteToWideChar(CP_ACP, 0, fileName, -1, nullptr, 0);
    if (folderSize == 0 || nameSize <= 0) return {};
    UniqueHeapBlock block =
        AllocateBytes((SIZE_T{folderSize} + 1 + static_cast<SIZE_T>(nameSize)) * sizeof(wchar_t));
    if (!block) return {};
    auto* path = static_cast<wchar_t*>(block.Get());
    UINT length = ::GetSystemDirectoryW(path, folderSize);
    if (length == 0 || length >= folderSize) return {};
    if (path[length - 1] != L'\\') path[length++] = L'\\';
    if (::MultiByteToWideChar(CP_ACP, 0, fileName, -1, path + length, nameSize) != nameSize) {
        return {};
    }
    return block;
}

}  // namespace

double GETSYSFILEVER(const char* fileName) {
    host::PrepareOwnImage();
    if (fileName == nullptr) return 0;
    const UniqueHeapBlock path = SystemFilePath(fileName);
    if (!path) return 0;
    const auto* widePath = static_cast<const wchar_t*>(path.Get());
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(widePath, &ignored);
    if (size == 0) return 0;
    const UniqueHeapBlock data = AllocateBytes(size);
    if (!data || !::GetFileVersionInfoW(widePath, 0, size, data.Get())) return 0;
    void* root = nullptr;
    UINT rootSize = 0;
    if (!::VerQueryValueW(data.Get(), L"\\", &root, &rootSize) || root == nullptr ||
        rootSize < sizeof(VS_FIXEDFILEINFO)) {
        return 0;
    }
    return host::VersionNumber(static_cast<const VS_FIXEDFILEINFO*>(root)->dwFileVersionMS);
}

double INITCOMCTL32(std::int32_t classes) {
    host::PrepareOwnImage();
    host::UniqueModule library(::LoadLibraryW(L"COMCTL32.DLL"));
    if (!library) return 0;
    using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initEx = reinterpret_cast<InitCommonControlsExFunction>(
        ::GetProcAddress(library.Get(), "InitCommonControlsEx"));
    if (initEx) {
        INITCOMMONCONTROLSEX init{};
        init.dwSize = sizeof init;
        init.dwICC = classes != 0 ? static_cast<DWORD>(classes) : 0xFF;
        initEx(&init);
    } else {
        // The static import of this function also keeps COMCTL32 loaded once the handle above
        // is released, so the registered classes stay.
        ::InitCommonControls();
    }
    library.Reset();
    return GETSYSFILEVER("COMCTL32.DLL");
}
