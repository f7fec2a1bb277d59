#include "app/drop_win.h"

#include <windows.h>

#include <utility>

#include "app/folder_choice_win.h"
#include "app/icon_choice_win.h"
#include "app/state_win.h"
#include "host/long_path.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"

namespace app {

void HandleDroppedPath(const std::string& path) {
    WIN32_FIND_DATAW entry{};
    // The lookup fails for a drive root and for a path that vanished: both are ignored silently.
    // Folders nested deeper than MAX_PATH can be dropped too; they are looked up prefixed.
    const std::wstring lookup = host::Widen(host::ExtendedLengthPath(path));
    if (!host::UniqueFind(::FindFirstFileW(lookup.c_str(), &entry))) return;

    // Folders first, so that a folder called pictures.png is still a folder.
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        ChosenFolder = path;
        SelectFolder();
        return;
    }
    // The entry's own name, not the dropped text, decides the kind.
    UseIconFile(path, IconFileKindOf(host::Narrow(entry.cFileName)));
}

void DropFileC::AcceptDrop(HWND, std::string path) { HandleDroppedPath(std::move(path)); }

}  // namespace app
