// The functions of the system DLLs that the window does not need to appear: the common dialogs,
// COM and GDI+ (imaging/gdiplus_deferred_win.h). Each of these DLLs pulls in further DLLs whose
// loading and start-up would come before the window, so the program does not import them: it calls
// these namesakes, which load their DLL from the system folder on the first call and keep the
// function's address in plain data. A direct call into one of those DLLs fails to link the program.
//
// Not the delay-import libraries of dlltool: those put the addresses their helper fills in into
// the import table, which binutils 2.44 links read-only, and the first call crashed the program
// (Windows and Wine 10 both enforce the protection). Plain data is writable on every toolchain.
//
// Each answers as its namesake does, or, when the DLL or the function cannot be found, with a
// failure of its own kind (FALSE, an HRESULT, a GDI+ status); the void ones then do nothing.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>

namespace host::deferred {

// The function `name` of a system DLL, loading the DLL from the system folder (never the
// program's own) if it is not loaded yet; null when either is missing. The DLL stays loaded for
// the life of the process: nothing is freed, and loading a loaded DLL only counts a reference.
// Callers keep the address in a static, so that each is looked up once.
template <class Function>
Function* Find(const wchar_t* dll, const char* name) noexcept {
    const HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module != nullptr ? reinterpret_cast<Function*>(::GetProcAddress(module, name))
                             : nullptr;
}

// comdlg32.dll
BOOL GetOpenFileNameW(OPENFILENAMEW* ofn) noexcept;
BOOL GetSaveFileNameW(OPENFILENAMEW* ofn) noexcept;

// ole32.dll
HRESULT CoInitialize(void* reserved) noexcept;
void CoUninitialize() noexcept;
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         void** object) noexcept;
void CoTaskMemFree(void* block) noexcept;
HRESULT CreateStreamOnHGlobal(HGLOBAL global, BOOL deleteOnRelease, IStream** stream) noexcept;
HRESULT CLSIDFromString(const wchar_t* text, CLSID* clsid) noexcept;
int StringFromGUID2(REFGUID guid, wchar_t* text, int chars) noexcept;

}  // namespace host::deferred
