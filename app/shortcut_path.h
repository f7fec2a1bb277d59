// Names used while a shortcut file is being replaced. Pure: tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// The name under which a new shortcut is written before it is moved over shortcutPath: in the
// same folder (so the move is a rename on one volume), unique per process and attempt, and not
// ending in ".lnk" so that nothing takes it for a finished shortcut.
// "C:\Links\Pics.lnk", 42, 0 -> "C:\Links\Pics.lnk.42-0.tmp".
std::string ShortcutTempPath(std::string_view shortcutPath, std::uint32_t processId,
                             unsigned attempt);

}  // namespace app
