#include "app/build_win.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include "app/icon_convert_win.h"
#include "app/shortcut_win.h"
#include "app/state_win.h"
#include "host/common_dialog_win.h"
#include "host/deferred_win.h"
#include "host/message_box_win.h"
#include "host/path_text.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "res/version.h"

namespace app {
namespace {

constexpr char kShortcutDescription[] =
    "Lumora-builder " LUMORA_VERSION " - (c) 2026 the Lumora project";

}  // namespace

void Build() {
    // The icon being converted is the one the user chose: Build comes back once it is there.
    if (RunAfterIconConversions(&Build)) return;
    std::wstring file(host::kFileBufferChars, L'\0');
    const std::wstring proposed =
        host::Widen(host::StripExtension(host::FileNameOf(IconSource)) + ".lnk");
    proposed.copy(file.data(), host::kFileBufferChars - 1);
    // The save dialog opens at the root of the chosen folder's drive.
    std::wstring initialFolder = host::Widen(ChosenFolder).substr(0, 3);
    if (initialFolder.empty()) initialFolder = host::CurrentDirectory();

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = L"Shortcut\0*.lnk\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = host::kFileBufferChars;
    ofn.lpstrInitialDir = initialFolder.c_str();
    ofn.lpstrTitle = L"Save as...";
    ofn.lpstrDefExt = L"lnk";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                OFN_ENABLEHOOK | OFN_EXPLORER;
    ofn.lpfnHook = host::CentringHook;
    if (!host::deferred::GetSaveFileNameW(&ofn)) return;
    file.resize(::wcslen(file.c_str()));
    if (file.empty()) return;
    SaveShortcut(host::Narrow(file));
}

void SaveShortcut(const std::string& shortcutPath) {
    // An existing shortcut is not deleted here: CreateShortcut replaces it only once the new one
    // is written, so a failed save keeps the old file.
    const bool saved = CreateShortcut(shortcutPath, host::ProgramFolder() + "Lumora.exe", "",
                                      ChosenFolder, SW_SHOW, IconSource, kShortcutDescription);
    if (!saved) {
        host::ShowMessageBox(MainDialog, "The shortcut could not be saved:\n" + shortcutPath,
                             MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::wstring parameters = L"/select,\"" + host::Widen(shortcutPath) + L"\"";
    ::ShellExecuteW(nullptr, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOW);
}

}  // namespace app
