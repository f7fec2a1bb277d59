#include "host/window_position_win.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>

#include "host/position_file.h"
#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/whole_file_win.h"

namespace host {

namespace {

// A hand-edited position file is read no further than this.
constexpr std::size_t kMaxPositionFileBytes = 64 * 1024;
// Positions beyond this are off every screen. Keeping them here keeps MapDialogRect (whose
// MulDiv answers -1 on overflow, a visible corner) and the rectangle arithmetic below far
// from overflow.
constexpr LONG kDialogUnitLimit = 1024 * 1024;
constexpr LONG kCoordinateLimit = 16 * 1024 * 1024;

std::string PositionFilePath(const std::string& programName) {
    return LocalAppDataFolder() + programName + ".pos";
}

// How many pixels 1024 dialog units span horizontally and vertically; nothing for a window
// that has no dialog units.
bool DialogUnitSpans(HWND dialog, RECT& spans) {
    spans = RECT{0, 0, 1024, 1024};
    return ::MapDialogRect(dialog, &spans) && spans.right > 0 && spans.bottom > 0;
}

// A position saved on a monitor that is gone (or a hand-edited one) would put the window where
// nobody can see or reach it: such a window is moved into the nearest monitor's work area.
POINT OnSomeMonitor(POINT topLeft, SIZE size) {
    const RECT wanted{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy};
    if (::MonitorFromRect(&wanted, MONITOR_DEFAULTTONULL)) return topLeft;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return topLeft;
    }
    const RECT& work = monitor.rcWork;
    // Too big for the work area: its top-left corner (with the title bar) stays visible.
    const POINT fitted{
        std::max(work.left, std::min(topLeft.x, work.right - size.cx)),
        std::max(work.top, std::min(topLeft.y, work.bottom - size.cy)),
    };
    return fitted;
}

}  // namespace

std::string LocalAppDataFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                  buffer))) {
        buffer[0] = L'\0';
    }
    std::string folder = Narrow(buffer);
    const size_t first = folder.find_first_not_of(' ');
    const size_t last = folder.find_last_not_of(' ');
    folder = first == std::string::npos ? std::string() : folder.substr(first, last - first + 1);
    return folder + '\\';
}

void SaveWindowPosition(HWND dialog, const std::string& programName) {
    if (::IsIconic(dialog)) return;
    RECT window;
    RECT spans;
    // Without dialog units there is nothing sound to write; the last saved position stays.
    if (!::GetWindowRect(dialog, &window) || !DialogUnitSpans(dialog, spans)) return;
    const DialogPosition position{PixelsToDialogUnits(window.left, spans.right),
                                  PixelsToDialogUnits(window.top, spans.bottom)};
    ReplaceWholeFile(PositionFilePath(programName), FormatPositionFile(position));
}

void RestoreWindowPosition(HWND dialog, const std::string& programName) {
    const std::string path = PositionFilePath(programName);
    if (!FileExists(path)) return;
    const std::optional<std::string> text = ReadWholeFile(path, kMaxPositionFileBytes);
    if (!text) return;
    const DialogPosition position = ParsePositionFile(*text);
    // 0, 0 means "never placed": the dialog keeps its centred position.
    if (position.left == 0 && position.top == 0) return;

    const LONG left = std::clamp<LONG>(position.left, -kDialogUnitLimit, kDialogUnitLimit);
    const LONG top = std::clamp<LONG>(position.top, -kDialogUnitLimit, kDialogUnitLimit);
    RECT pixels{left, top, left, top};
    RECT window;
    if (!::MapDialogRect(dialog, &pixels) || !::GetWindowRect(dialog, &window)) return;
    const POINT wanted{std::clamp(pixels.left, -kCoordinateLimit, kCoordinateLimit),
                       std::clamp(pixels.top, -kCoordinateLimit, kCoordinateLimit)};
    const POINT topLeft =
        OnSomeMonitor(wanted, SIZE{window.right - window.left, window.bottom - window.top});
    ::SetWindowPos(dialog, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace host
