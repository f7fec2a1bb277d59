// The DPI a window is shown at and the system's sizes for it. The per-monitor calls exist from
// Windows 10 on (and in Wine); older systems have one DPI for all, which these answer instead.
#pragma once

#include <windows.h>

namespace host {

inline constexpr UINT kDefaultDpi = 96;

// The window's DPI; without the per-monitor call, the screen's.
UINT WindowDpi(HWND window);
// GetSystemMetrics at the DPI (SM_CXICON, SM_CXSMICON...); without the per-monitor call, at the
// system's one DPI.
int SystemMetricForDpi(int index, UINT dpi);

}  // namespace host
