#include "app/icon_convert_win.h"

#include <windows.h>

#include <optional>
#include <string>

#include "app/dialog_ids.h"
#include "app/dialog_ops_win.h"
#include "app/icon_command.h"
#include "app/state_win.h"
#include "host/command_runner_win.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "wine/drive_map_win.h"
#include "wine/unix_bridge_win.h"
#include "wine/wine_detect_win.h"

namespace app {
namespace {

// Long enough for ImageMagick to render nine sizes of a large photo.
constexpr DWORD kUnixConversionLimitMs = 15000;
constexpr DWORD kPumpSliceMs = 50;

// The waits below keep dispatching messages, so a drop or a click can call ConvertIcon again
// while a conversion runs; the second one is refused instead of racing on the same files.
bool converting = false;

class ConvertingScope {
public:
    ConvertingScope() noexcept { converting = true; }
    ~ConvertingScope() { converting = false; }
    ConvertingScope(const ConvertingScope&) = delete;
    ConvertingScope& operator=(const ConvertingScope&) = delete;
};

std::string ReadSmallFile(const std::string& path) {
    host::UniqueFile file(::CreateFileW(host::Widen(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    char buffer[64];
    DWORD read = 0;
    if (!::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr)) return {};
    return std::string(buffer, read);
}

// Dispatches the window's messages until the file holds text or the limit passes; the text,
// empty when none came. A quit request ends the wait early and is passed on.
std::string PumpUntilWritten(const std::string& path, DWORD limitMs) {
    const ULONGLONG deadline = ::GetTickCount64() + limitMs;
    for (;;) {
        // Messages first: what queued up during the bridge's fixed pause is handled even when
        // the conversion is already over.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return {};
            }
            if (MainDialog && ::IsDialogMessageW(MainDialog, &msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (std::string text = ReadSmallFile(path); !text.empty()) return text;
        if (::GetTickCount64() >= deadline) return {};
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpSliceMs, QS_ALLINPUT);
    }
}

bool ReplaceTarget(const std::string& temp, const std::string& target) {
    return ::MoveFileExW(host::Widen(temp).c_str(), host::Widen(target).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

// ImageMagick's magick through the command interpreter. nullopt when the runner was busy.
std::optional<bool> ConvertWithMagick(const std::string& source, const std::string& temp,
                                      const std::string& target) {
    if (!host::RunCommandCaptured(WindowsConvertCommand(source, temp), "")) return std::nullopt;
    // magick's output text says nothing reliable; a written file does.
    if (host::FileExists(temp) && ReplaceTarget(temp, target)) return true;
    ::DeleteFileW(host::Widen(temp).c_str());
    return false;
}

// The Linux convert through the Unix bridge, which does not wait: the script leaves its exit
// status in a file beside the bridge's own, and that file is awaited.
bool ConvertWithUnixConvert(const std::string& source, const std::string& temp,
                            const std::string& target) {
    const std::string user = host::EnvironmentVariable("USERNAME");
    const std::string statusPath = "z:\\home\\" + user + "\\dues.status";
    ::DeleteFileW(host::Widen(statusPath).c_str());
    wine::RunUnixCommand(UnixConvertScript(wine::ToUnixPath(source), wine::ToUnixPath(temp),
                                           wine::ToUnixPath(target),
                                           "/home/" + user + "/dues.status"));
    const std::string status = PumpUntilWritten(statusPath, kUnixConversionLimitMs);
    ::DeleteFileW(host::Widen(statusPath).c_str());
    return status.rfind("0\n", 0) == 0 && host::FileExists(target);
}

void ClearPreview() {
    ::SendDlgItemMessageW(MainDialog, kIconPictureId, STM_SETIMAGE, IMAGE_ICON, 0);
    PreviewIcon.Reset();
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
    ConvertingScope scope;
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
        ClearPreview();
}

}  // namespace app
