#include "app/folder_choice_win.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <utility>

#include "app/dialog_ids.h"
#include "app/state_win.h"
#include "host/common_dialog_win.h"
#include "host/path_text.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"

namespace app {

void SelectFolder() {
    ChosenFolder = host::WithOneTrailingBackslash(ChosenFolder);
    ::SetDlgItemTextW(MainDialog, kFolderEntryId, host::Widen(ChosenFolder).c_str());
    ::EnableWindow(::GetDlgItem(MainDialog, kBuildButtonId), TRUE);
}

void BrowseForFolder() {
    // The new-style folder browser hosts shell views: it needs COM on this thread.
    host::ComScope com;
    BROWSEINFOW info{};
    info.hwndOwner = MainDialog;
    info.ulFlags =
        BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    info.lpfn = host::BrowseCentringCallback;
    const host::UniquePidl pidl(::SHBrowseForFolderW(&info));
    // A cancelled browse (or an item that is no folder) keeps the previous choice, which the box
    // still shows and Build still uses.
    if (!pidl) return;
    std::string folder = host::FolderOfPidl(pidl.Get());
    if (folder.empty()) return;
    ChosenFolder = std::move(folder);
    SelectFolder();
}

}  // namespace app
