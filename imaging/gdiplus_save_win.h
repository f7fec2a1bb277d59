// Saving GDI+ images in a format named by its MIME type, over the GDI+ flat interface.
// Every operation answers with a GDI+ Status value; the module's own refusals are 2
// (InvalidParameter). Only SavePngInSession opens a GDI+ session itself: the others need the
// caller to hold one (GdiplusScope).
#pragma once

#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM declarations GDI+ builds on.
#include <objidl.h>
#include <gdiplus.h>

#include <string>

#include "host/unique_win.h"
#include "imaging/gdiplus_deferred_win.h"

namespace imaging {

using ImageStatus = int;
constexpr ImageStatus kImageOk = 0;
constexpr ImageStatus kImageInvalidParameter = 2;

// A GDI+ session for the current scope; shut down only when the start-up succeeded.
// Sessions nest: each successful start-up is paired with its own shutdown.
class GdiplusScope {
public:
    GdiplusScope() noexcept;
    ~GdiplusScope();
    GdiplusScope(const GdiplusScope&) = delete;
    GdiplusScope& operator=(const GdiplusScope&) = delete;
    bool Started() const noexcept { return status_ == Gdiplus::Ok; }

private:
    ULONG_PTR token_ = 0;
    Gdiplus::Status status_;
};

// Owns a GDI+ image or bitmap (a GpBitmap is a GpImage in the flat interface).
struct GpImageTraits {
    using Type = Gdiplus::GpImage*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type image) noexcept { deferred::GdipDisposeImage(image); }
};
using UniqueGpImage = host::Unique<GpImageTraits>;

// CLSID text ("{557CF406-1A04-11D3-9A73-0000F81EF32E}") of the first encoder whose MIME type
// contains the requested one, case-insensitively; empty when none does.
std::string FindEncoderClsid(const std::string& mimeType);

ImageStatus SaveImageAs(Gdiplus::GpImage* image, const std::string& fileName,
                        const std::string& mimeType);
ImageStatus ConvertImageFile(const std::string& source, const std::string& target,
                             const std::string& mimeType);

ImageStatus SaveImageAsBmp(Gdiplus::GpImage* image, const std::string& fileName);
ImageStatus SaveImageAsJpeg(Gdiplus::GpImage* image, const std::string& fileName);
ImageStatus SaveImageAsGif(Gdiplus::GpImage* image, const std::string& fileName);
ImageStatus SaveImageAsTiff(Gdiplus::GpImage* image, const std::string& fileName);
ImageStatus SaveImageAsPng(Gdiplus::GpImage* image, const std::string& fileName);

ImageStatus ConvertImageToBmp(const std::string& source, const std::string& target);
ImageStatus ConvertImageToJpeg(const std::string& source, const std::string& target);
ImageStatus ConvertImageToGif(const std::string& source, const std::string& target);
ImageStatus ConvertImageToTiff(const std::string& source, const std::string& target);
ImageStatus ConvertImageToPng(const std::string& source, const std::string& target);

// Saves the image as PNG inside a GDI+ session of its own (nested when the caller already holds
// one). The outcome is not reported: callers check the file.
void SavePngInSession(Gdiplus::GpImage* image, const std::string& fileName);

}  // namespace imaging
