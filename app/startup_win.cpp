#include "app/startup_win.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/icon_command.h"
#include "app/linux_registration_win.h"
#include "app/main_dialog_win.h"
#include "host/command_runner_win.h"
#include "host/comctl_win.h"
#include "host/message_box_win.h"
#include "host/program_win.h"
#include "wine/registration_win.h"
#include "wine/wine_detect_win.h"

namespace app {
namespace {

constexpr wchar_t kImageMagickDownloadPage[] = L"https://imagemagick.org/script/download.php";

void ShowStartupError(const char* text) {
    host::ShowMessageBox(nullptr, text, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

bool CheckImageMagick() {
    // Found as the user's shell finds it, but never in the current folder, which the check's
    // own runner would make TEMP.
    const std::string magick = host::FindOnSearchPath("magick");
    const std::optional<std::string> output =
        magick.empty() ? std::nullopt
                       : host::RunCommandCaptured("\"" + magick + "\" convert -version", "");
    if (output && output->find("ImageMagick") != std::string::npos) return true;
    ShowStartupError(kImageMagickMissingText);
    ::ShellExecuteW(nullptr, L"open", kImageMagickDownloadPage, nullptr, nullptr, SW_SHOW);
    return false;
}

int RunStartup() {
    // The shortcuts point at the viewer beside this program, so that is where it must be; the
    // current directory depends on how the program was started.
    if (!host::FileExists(host::ProgramFolder() + "Lumora.exe")) {
        // The message is then the only window: under Wine it gets its icon on the Linux desktop
        // from the registration, as the dialog does. Outside Wine this returns at once.
        wine::RegisterLinuxApp(false, false, "");
        ShowStartupError("Error: \"Lumora.exe\" not found!");
        return 0;
    }
    // Under Wine, icons are converted by the Linux convert: no Windows ImageMagick is needed.
    if (!wine::IsWine() && !CheckImageMagick()) return 0;
    INITCOMCTL32(0);
    // Under Wine the silent registration starts once the dialog is visible; its files are
    // complete before the process ends.
    ShowMainDialog(true);
    AwaitSilentRegistration(false);
    return 0;
}

}  // namespace app
