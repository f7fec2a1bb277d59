// Hands the shortcuts this program saves to Wine's menu builder, as Wine's shell does.
#pragma once

#include <string>

namespace wine {

// Under Wine, a shortcut (full Windows path) that lies on the desktop or in the Start menu, the
// user's or the common ones, is handed to Wine's menu builder, which makes its Linux launcher.
// Started hidden and left running: the window keeps answering. Nothing outside Wine or for a
// shortcut anywhere else. True when the menu builder was started.
bool HandToMenuBuilder(const std::string& shortcutPath);

}  // namespace wine
