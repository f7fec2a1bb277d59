#include "app/icon_convert_win.h"

#include <windows.h>

#include <optional>
#include <string>

#include "app/icon_command.h"
#include "app/icon_preview_win.h"
#include "app/state_win.h"
#include "host/command_runner_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/wait_win.h"
#include "host/whole_file_win.h"
#include "wine/drive_map_win.h"
#include "wine/unix_bridge_win.h"
#include "wine/wine_detect_win.h"

namespace app {
namespace {

// Long enough for ImageMagick to render nine sizes of a large photo.
constexpr std::chrono::milliseconds kUnixConversionLimit{15000};

// The waits below keep dispatching messages, so a drop or a click can call ConvertIcon again
// while a conversion runs; the second one is refused instead of racing on the same files.
bool converting = false;

// ImageMagick's magick through the command interpreter. nullopt when the runner was busy.
std::optional<bool> ConvertWithMagick(const std::string& source, const std::string& temp,
                                      const std::string& target) {
    if (!host::RunCommandCaptured(WindowsConvertCommand(source, temp), "")) return std::nullopt;
    // magick's output text says nothing reliable; a written file does.
    return host::FileExists(temp) && host::MoveIntoPlace(temp, target);
}

// The Linux convert through the Unix bridge; its exit status says whether it worked.
bool ConvertWithUnixConvert(const std::string& source, const std::string& temp,
                            const std::string& target) {
    wine::UnixRun run = wine::StartUnixCommand(UnixConvertScript(
        wine::ToUnixPath(source), wine::ToUnixPath(temp), wine::ToUnixPath(target)));
    return run.Wait(kUnixConversionLimit) == 0 && host::FileExists(target);
}

}  // namespace

void ConvertIcon() {
    ConvertIcon(wine::IsWine() ? IconConverter::UnixConvert : IconConverter::WindowsMagick);
}

void ConvertIcon(IconConverter converter) {
    const std::optional<std::string> target = IconTargetPath(IconSource);
    if (!target || converting) {
        ::MessageBeep(0);
        return;
    }
    const host::BusyScope busy = host::MarkBusy(converting);
    const std::string source = IconSource;
    // The old icon stays until a new one has been written completely: ImageMagick writes a
    // file beside it, which then replaces it in one step.
    const std::string temp = IconTempPath(*target);
    ::DeleteFileW(host::Widen(temp).c_str());

    std::optional<bool> converted;
    if (converter == IconConverter::UnixConvert)
        converted = ConvertWithUnixConvert(source, temp, *target);
    else
        converted = ConvertWithMagick(source, temp, *target);
    if (!converted) {
        ::MessageBeep(0);
        return;
    }
    // The user chose another icon while this one was converting: that choice stands.
    if (IconSource != source) return;
    IconSource = *target;
    // A failed conversion must not show an older icon of the same name as if it were new.
    if (*converted)
        RefreshIconPreview();
    else
        ClearIconPreview();
}

}  // namespace app
