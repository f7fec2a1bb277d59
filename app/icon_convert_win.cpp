#include "app/icon_convert_win.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "app/icon_command.h"
#include "app/icon_converter_win.h"
#include "app/icon_preview_win.h"
#include "app/state_win.h"
#include "host/message_box_win.h"
#include "host/path_text.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/wait_win.h"
#include "host/whole_file_win.h"
#include "host/window_position_win.h"
#include "imaging/byte_reader.h"
#include "imaging/icon_file_win.h"
#include "imaging/picture_format_win.h"
#include "wine/unix_bridge_win.h"
#include "wine/wine_detect_win.h"

namespace app {
namespace {

// Beside the image, or, where that cannot be written, in the user's own icon folder; the path
// written, or nullopt.
std::optional<std::string> WriteIcon(const std::string& icon, const std::string& image,
                                     const std::string& target) {
    if (host::ReplaceWholeFile(target, icon)) return target;
    // The folder the window position lives in too; a lone "\\" means there is none.
    const std::string localAppData = host::LocalAppDataFolder();
    const std::optional<std::string> fallback =
        FallbackIconPath(localAppData.size() > 1 ? localAppData : std::string(), image);
    if (!fallback || !host::MakeFolders(host::FolderOf(*fallback)) ||
        !host::ReplaceWholeFile(*fallback, icon)) {
        return std::nullopt;
    }
    return fallback;
}

// `wanted` says whether the result is still to be shown: the write dispatches messages too.
void Show(const Conversion& conversion, const std::string& image, const std::string& target,
          const std::function<bool()>& wanted) {
    switch (conversion.outcome) {
        case Outcome::Converted: {
            // On a thread of their own: a flushed write can take tens of milliseconds on a busy
            // disk, and the window keeps answering meanwhile.
            const int pixels = IconPreviewPixels();
            std::optional<std::string> written;
            host::UniqueIcon preview;
            host::RunDispatching([&] {
                written = WriteIcon(conversion.icon, image, target);
                if (written)
                    preview = imaging::IconFromFileBytes(imaging::BytesOf(conversion.icon), pixels);
            });
            if (!wanted()) return;
            if (written) {
                IconSource = *written;
                ShowIconPreview(std::move(preview), pixels);
                return;
            }
            break;
        }
        case Outcome::ConverterMissing:
            host::ShowMessageBox(MainDialog, kImageMagickMissingText, MB_OK | MB_ICONEXCLAMATION);
            return;
        case Outcome::Failed:
            break;
    }
    ::MessageBeep(0);
}

struct Request {
    std::string image;
    std::string target;
    imaging::PictureFormat format;
    IconConverter converter;
};

// The waits above dispatch messages, so a drop or a click can call ConvertIcon again while a
// conversion runs. Such a call leaves its image here for the running call to convert next, and
// counts as a choice: a result is shown only when no choice came after the one it answers.
// Build asked for meanwhile runs once the conversions are over; a close ends them all.
// The open dialog's OK starts the conversion of its image at once, while the dialog closes; the
// ConvertIcon call that follows takes it over, and any other choice drops it.
struct EarlyStart {
    Request request;
    StartedConversion conversion;
};

struct Pending {
    bool converting = false;
    bool closing = false;
    std::optional<Request> next;
    unsigned choices = 0;
    void (*afterwards)() = nullptr;
    std::optional<EarlyStart> early;
    // Started when the open dialog opens, for the conversion its OK starts.
    wine::UnixStandby standby;
};

Pending& PendingConversions() {
    static Pending pending;
    return pending;
}

// The conversion of the request: the early one when it is of the same image, else a new one.
Conversion ConvertRequest(const Request& request) {
    std::optional<EarlyStart> early = std::exchange(PendingConversions().early, std::nullopt);
    if (early && early->request.image == request.image &&
        early->request.converter == request.converter)
        return FinishConversion(std::move(early->conversion));
    early.reset();
    return Convert(request.image, request.format, request.converter);
}

// The cursor changes as the mouse moves; one resting on the window is told at once.
void UpdateCursorOverWindow() {
    POINT point{};
    if (!MainDialog || !::GetCursorPos(&point)) return;
    const HWND under = ::WindowFromPoint(point);
    if (under != MainDialog && !::IsChild(MainDialog, under)) return;
    const LRESULT hit = ::SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                   MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}

// What converting the image takes, or nullopt for a file that is refused. The bytes decide what
// the file is, whatever its name says: anything but a JPEG, a PNG or a bitmap never reaches
// ImageMagick, which would read it with any decoder it has.
std::optional<Request> RequestFor(const std::string& image, IconConverter converter) {
    std::optional<std::string> target = IconTargetPath(image);
    if (!target) return std::nullopt;
    const imaging::PictureFormat format = imaging::PictureFormatOfFile(image);
    if (format == imaging::PictureFormat::Unknown) return std::nullopt;
    return Request{image, std::move(*target), format, converter};
}

IconConverter SystemConverter() {
    return wine::IsWine() ? IconConverter::UnixConvert : IconConverter::WindowsMagick;
}

}  // namespace

void PrepareIconConversion() {
    Pending& pending = PendingConversions();
    if (pending.converting || pending.closing || SystemConverter() != IconConverter::UnixConvert)
        return;
    pending.standby = wine::StartUnixStandby();
}

void StartIconConversionEarly(const std::string& image) {
    Pending& pending = PendingConversions();
    pending.early.reset();
    // A choice made during a conversion waits its turn in ConvertIcon.
    if (pending.converting || pending.closing) return;
    std::optional<Request> request = RequestFor(image, SystemConverter());
    if (!request) return;
    StartedConversion conversion =
        StartConversion(request->image, request->format, request->converter, &pending.standby);
    pending.early = EarlyStart{std::move(*request), std::move(conversion)};
}

void DropEarlyIconConversion() {
    Pending& pending = PendingConversions();
    pending.early.reset();
    pending.standby = {};
}

void ConvertIcon(const std::string& image) { ConvertIcon(image, SystemConverter()); }

void ConvertIcon(const std::string& image, IconConverter converter) {
    Pending& pending = PendingConversions();
    if (pending.closing) return;
    std::optional<Request> request = RequestFor(image, converter);
    if (!request) {
        ::MessageBeep(0);
        return;
    }
    ++pending.choices;
    pending.next = std::move(request);
    if (pending.converting) return;

    pending.converting = true;
    UpdateCursorOverWindow();
    while (pending.next && !pending.closing) {
        const Request request = std::move(*pending.next);
        pending.next.reset();
        const unsigned choice = pending.choices;
        const Conversion conversion = ConvertRequest(request);
        const auto wanted = [&pending, choice] {
            return pending.choices == choice && !pending.closing;
        };
        if (wanted()) Show(conversion, request.image, request.target, wanted);
    }
    pending.converting = false;
    const bool closed = std::exchange(pending.closing, false);
    void (*afterwards)() = std::exchange(pending.afterwards, nullptr);
    if (closed) return;
    UpdateCursorOverWindow();
    if (afterwards) afterwards();
}

bool IconConversionRunning() { return PendingConversions().converting; }

bool RunAfterIconConversions(void (*action)()) {
    Pending& pending = PendingConversions();
    if (!pending.converting) return false;
    if (!pending.closing) pending.afterwards = action;
    return true;
}

void DropPendingIconConversions() {
    Pending& pending = PendingConversions();
    ++pending.choices;
    pending.next.reset();
    pending.early.reset();
}

void AbandonIconConversions() {
    Pending& pending = PendingConversions();
    pending.early.reset();
    pending.standby = {};
    if (!pending.converting) return;
    pending.closing = true;
    pending.next.reset();
    pending.afterwards = nullptr;
    EndRunningConversion();
}

}  // namespace app
