#include "imaging/gdiplus_deferred_win.h"

#include "host/deferred_win.h"

namespace imaging::deferred {
namespace {

constexpr wchar_t kGdiplus[] = L"gdiplus.dll";
constexpr Gdiplus::Status kGdiplusMissing = Gdiplus::Win32Error;

namespace flat = Gdiplus::DllExports;
using host::deferred::Find;

}  // namespace

Gdiplus::Status GdiplusStartup(ULONG_PTR* token, const Gdiplus::GdiplusStartupInput* input,
                               Gdiplus::GdiplusStartupOutput* output) noexcept {
    static auto* const function =
        Find<decltype(Gdiplus::GdiplusStartup)>(kGdiplus, "GdiplusStartup");
    return function != nullptr ? function(token, input, output) : kGdiplusMissing;
}

void GdiplusShutdown(ULONG_PTR token) noexcept {
    static auto* const function =
        Find<decltype(Gdiplus::GdiplusShutdown)>(kGdiplus, "GdiplusShutdown");
    if (function != nullptr) function(token);
}

Gdiplus::GpStatus GdipGetImageEncodersSize(UINT* count, UINT* size) noexcept {
    static auto* const function =
        Find<decltype(flat::GdipGetImageEncodersSize)>(kGdiplus, "GdipGetImageEncodersSize");
    return function != nullptr ? function(count, size) : kGdiplusMissing;
}

Gdiplus::GpStatus GdipGetImageEncoders(UINT count, UINT size,
                                       Gdiplus::ImageCodecInfo* encoders) noexcept {
    static auto* const function =
        Find<decltype(flat::GdipGetImageEncoders)>(kGdiplus, "GdipGetImageEncoders");
    return function != nullptr ? function(count, size, encoders) : kGdiplusMissing;
}

Gdiplus::GpStatus GdipLoadImageFromFile(const WCHAR* file, Gdiplus::GpImage** image) noexcept {
    static auto* const function =
        Find<decltype(flat::GdipLoadImageFromFile)>(kGdiplus, "GdipLoadImageFromFile");
    return function != nullptr ? function(file, image) : kGdiplusMissing;
}

Gdiplus::GpStatus GdipSaveImageToFile(Gdiplus::GpImage* image, const WCHAR* file,
                                      const CLSID* encoder,
                                      const Gdiplus::EncoderParameters* parameters) noexcept {
    static auto* const function =
        Find<decltype(flat::GdipSaveImageToFile)>(kGdiplus, "GdipSaveImageToFile");
    return function != nullptr ? function(image, file, encoder, parameters) : kGdiplusMissing;
}

Gdiplus::GpStatus GdipDisposeImage(Gdiplus::GpImage* image) noexcept {
    static auto* const function =
        Find<decltype(flat::GdipDisposeImage)>(kGdiplus, "GdipDisposeImage");
    return function != nullptr ? function(image) : kGdiplusMissing;
}

Gdiplus::GpStatus GdipCreateBitmapFromHICON(HICON icon, Gdiplus::GpBitmap** bitmap) noexcept {
    static auto* const function =
        Find<decltype(flat::GdipCreateBitmapFromHICON)>(kGdiplus, "GdipCreateBitmapFromHICON");
    return function != nullptr ? function(icon, bitmap) : kGdiplusMissing;
}

Gdiplus::GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride,
                                            Gdiplus::PixelFormat format, BYTE* pixels,
                                            Gdiplus::GpBitmap** bitmap) noexcept {
    static auto* const function =
        Find<decltype(flat::GdipCreateBitmapFromScan0)>(kGdiplus, "GdipCreateBitmapFromScan0");
    return function != nullptr ? function(width, height, stride, format, pixels, bitmap)
                               : kGdiplusMissing;
}

Gdiplus::GpStatus GdipBitmapGetPixel(Gdiplus::GpBitmap* bitmap, INT x, INT y,
                                     Gdiplus::ARGB* pixel) noexcept {
    static auto* const function =
        Find<decltype(flat::GdipBitmapGetPixel)>(kGdiplus, "GdipBitmapGetPixel");
    return function != nullptr ? function(bitmap, x, y, pixel) : kGdiplusMissing;
}

}  // namespace imaging::deferred
