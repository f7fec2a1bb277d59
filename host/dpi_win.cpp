#include "host/dpi_win.h"

#include "host/unique_win.h"

namespace host {
namespace {

// The screen's device context, as GetDC(nullptr) lends it.
struct ScreenDcTraits {
    using Type = HDC;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type dc) noexcept { ::ReleaseDC(nullptr, dc); }
};

// Looked up at run time: the program also starts on systems whose user32 lacks them.
template <class Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name));
}

}  // namespace

UINT WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    if (const auto forWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow")) {
        if (const UINT dpi = forWindow(window)) return dpi;
    }
    const Unique<ScreenDcTraits> screen(::GetDC(nullptr));
    const int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

int SystemMetricForDpi(int index, UINT dpi) {
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    if (const auto forDpi =
            User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi")) {
        return forDpi(index, dpi);
    }
    return ::GetSystemMetrics(index);
}

}  // namespace host
