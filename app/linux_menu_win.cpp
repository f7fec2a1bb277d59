#include "app/linux_menu_win.h"

#include "app/icon_convert_win.h"
#include "app/linux_registration_win.h"
#include "host/unique_win.h"
#include "wine/registration_win.h"
#include "wine/wine_detect_win.h"

namespace app {
namespace {

// Wine's own "About Wine" item takes the A.
constexpr wchar_t kAddLabel[] = L"Add to the &Linux applications menu...";
constexpr wchar_t kRemoveLabel[] = L"Remove from the &Linux applications menu";

}  // namespace

void AddLinuxMenuItem(HWND dialog) {
    if (!wine::IsWine()) return;
    HMENU menu = ::GetSystemMenu(dialog, FALSE);
    if (!menu) return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kLinuxMenuCommand, kAddLabel);
}

void UpdateLinuxMenuItem(HWND dialog) {
    HMENU menu = ::GetSystemMenu(dialog, FALSE);
    if (!menu || ::GetMenuState(menu, kLinuxMenuCommand, MF_BYCOMMAND) == static_cast<UINT>(-1)) {
        return;
    }
    ::ModifyMenuW(menu, kLinuxMenuCommand, MF_BYCOMMAND | MF_STRING, kLinuxMenuCommand,
                  wine::LinuxMenuEntryExists() ? kRemoveLabel : kAddLabel);
}

void RunLinuxMenuItem() {
    // The questions are message boxes of their own, so the window menu stays usable meanwhile:
    // a second request while one runs is dropped.
    static bool running = false;
    if (running) return;
    const host::BusyScope busy = host::MarkBusy(running);
    // The start-up's registration may still be writing the same entry and icons.
    AwaitSilentRegistration(true);
    if (wine::LinuxMenuEntryExists()) {
        wine::UnregisterLinuxApp();
    } else {
        wine::RegisterLinuxApp(true, true, "", &AbandonIconConversions);
    }
}

}  // namespace app
