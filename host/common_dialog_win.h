// Pieces shared by the program's common dialogs (open, save, folder browser).
#pragma once

#include <windows.h>
#include <shtypes.h>

#include <string>

namespace host {

// Room for any path the file dialogs can answer, long paths included.
inline constexpr DWORD kFileBufferChars = 32768;

// OPENFILENAME hook (OFN_ENABLEHOOK | OFN_EXPLORER) that centres the dialog over its owner, or
// over the work area when it has none.
UINT_PTR CALLBACK CentringHook(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
// BROWSEINFO callback that centres the folder browser the same way.
int CALLBACK BrowseCentringCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data);

// The file-system folder of an item list; empty when it has none.
std::string FolderOfPidl(const ITEMIDLIST* pidl);
// This process's current directory; empty when it cannot be read.
std::wstring CurrentDirectory();

}  // namespace host
