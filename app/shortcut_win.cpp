#include "app/shortcut_win.h"

namespace app {

// Placeholder until shortcut creation lands.
bool CreateShortcut(const std::string&, const std::string&, const std::string&, const std::string&,
                    int, const std::string&, const std::string&) {
    return false;
}

}  // namespace app
