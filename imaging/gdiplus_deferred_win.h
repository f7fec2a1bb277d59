// The GDI+ flat functions the program calls, loaded on first use (see host/deferred_win.h).
#pragma once

#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM declarations GDI+ builds on.
#include <objidl.h>
#include <gdiplus.h>

namespace imaging::deferred {

// Each answers Win32Error (or does nothing) when gdiplus.dll or the function cannot be found.
Gdiplus::Status GdiplusStartup(ULONG_PTR* token, const Gdiplus::GdiplusStartupInput* input,
                               Gdiplus::GdiplusStartupOutput* output) noexcept;
void GdiplusShutdown(ULONG_PTR token) noexcept;
Gdiplus::GpStatus GdipGetImageEncodersSize(UINT* count, UINT* size) noexcept;
Gdiplus::GpStatus GdipGetImageEncoders(UINT count, UINT size,
                                       Gdiplus::ImageCodecInfo* encoders) noexcept;
Gdiplus::GpStatus GdipLoadImageFromFile(const WCHAR* file, Gdiplus::GpImage** image) noexcept;
Gdiplus::GpStatus GdipSaveImageToFile(Gdiplus::GpImage* image, const WCHAR* file,
                                      const CLSID* encoder,
                                      const Gdiplus::EncoderParameters* parameters) noexcept;
Gdiplus::GpStatus GdipDisposeImage(Gdiplus::GpImage* image) noexcept;
Gdiplus::GpStatus GdipCreateBitmapFromHICON(HICON icon, Gdiplus::GpBitmap** bitmap) noexcept;
Gdiplus::GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride,
                                            Gdiplus::PixelFormat format, BYTE* pixels,
                                            Gdiplus::GpBitmap** bitmap) noexcept;
Gdiplus::GpStatus GdipBitmapGetPixel(Gdiplus::GpBitmap* bitmap, INT x, INT y,
                                     Gdiplus::ARGB* pixel) noexcept;

}  // namespace imaging::deferred
