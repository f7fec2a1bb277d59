#include "app/shortcut_path.h"

namespace app {

std::string ShortcutTempPath(std::string_view shortcutPath, std::uint32_t processId,
                             unsigned attempt) {
    std::string temp(shortcutPath);
    temp += '.';
    temp += std::to_string(processId);
    temp += '-';
    temp += std::to_string(attempt);
    temp += ".tmp";
    return temp;
}

}  // namespace app
