#include "imaging/gdiplus_save_win.h"

#include <objbase.h>

#include <cwctype>
#include <vector>

#include "host/text_encoding_win.h"

namespace imaging {

GdiplusScope::GdiplusScope() noexcept {
    Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread on
    status_ = deferred::GdiplusStartup(&token_, &input, nullptr);
}

GdiplusScope::~GdiplusScope() {
    if (status_ == Gdiplus::Ok) deferred::GdiplusShutdown(token_);
}

namespace {

bool IsBlank(const std::string& name) { return name.find_first_not_of(' ') == std::string::npos; }

std::wstring UpperWide(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

bool ClsidFromText(const std::string& text, CLSID& clsid) {
    const std::wstring wide = host::Widen(text);
    return SUCCEEDED(host::deferred::CLSIDFromString(wide.c_str(), &clsid));
}

}  // namespace

std::string FindEncoderClsid(const std::string& mimeType) {
    UINT count = 0;
    UINT size = 0;
    deferred::GdipGetImageEncodersSize(&count, &size);
    if (count == 0 || size < count * sizeof(Gdiplus::ImageCodecInfo)) return {};
    // The records point into the same buffer for their strings, so it is sized exactly as
    // reported and read as records only up to count.
    std::vector<unsigned char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (deferred::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok) return {};

    const std::wstring wanted = UpperWide(host::Widen(mimeType));
    // A record without a MIME type is judged by the last one that had it.
    std::wstring current;
    for (UINT i = 0; i < count; ++i) {
        const WCHAR* mime = codecs[i].MimeType;
        if (mime != nullptr && mime[0] != L'\0') current = UpperWide(mime);
        if (current.empty() || current.find(wanted) == std::wstring::npos) continue;
        WCHAR text[40] = {};
        if (host::deferred::StringFromGUID2(codecs[i].Clsid, text, 40) == 0) return {};
        return host::Narrow(text);
    }
    return {};
}

ImageStatus SaveImageAs(Gdiplus::GpImage* image, const std::string& fileName,
                        const std::string& mimeType) {
    if (image == nullptr) return kImageInvalidParameter;
    if (IsBlank(fileName)) return kImageInvalidParameter;
    CLSID clsid;
    if (!ClsidFromText(FindEncoderClsid(mimeType), clsid)) return kImageInvalidParameter;
    const std::wstring wideName = host::Widen(fileName);
    return deferred::GdipSaveImageToFile(image, wideName.c_str(), &clsid, nullptr);
}

ImageStatus ConvertImageFile(const std::string& source, const std::string& target,
                             const std::string& mimeType) {
    if (IsBlank(source) || IsBlank(target)) return kImageInvalidParameter;
    CLSID clsid;
    if (!ClsidFromText(FindEncoderClsid(mimeType), clsid)) return kImageInvalidParameter;
    Gdiplus::GpImage* loaded = nullptr;
    const std::wstring wideSource = host::Widen(source);
    if (const auto status = deferred::GdipLoadImageFromFile(wideSource.c_str(), &loaded);
        status != Gdiplus::Ok) {
        return status;
    }
    const UniqueGpImage image(loaded);
    const std::wstring wideTarget = host::Widen(target);
    return deferred::GdipSaveImageToFile(image.Get(), wideTarget.c_str(), &clsid, nullptr);
}

ImageStatus SaveImageAsBmp(Gdiplus::GpImage* image, const std::string& fileName) {
    return SaveImageAs(image, fileName, "image/bmp");
}
ImageStatus SaveImageAsJpeg(Gdiplus::GpImage* image, const std::string& fileName) {
    return SaveImageAs(image, fileName, "image/jpeg");
}
ImageStatus SaveImageAsGif(Gdiplus::GpImage* image, const std::string& fileName) {
    return SaveImageAs(image, fileName, "image/gif");
}
ImageStatus SaveImageAsTiff(Gdiplus::GpImage* image, const std::string& fileName) {
    return SaveImageAs(image, fileName, "image/tiff");
}
ImageStatus SaveImageAsPng(Gdiplus::GpImage* image, const std::string& fileName) {
    return SaveImageAs(image, fileName, "image/png");
}

ImageStatus ConvertImageToBmp(const std::string& source, const std::string& target) {
    return ConvertImageFile(source, target, "image/bmp");
}
ImageStatus ConvertImageToJpeg(const std::string& source, const std::string& target) {
    return ConvertImageFile(source, target, "image/jpeg");
}
ImageStatus ConvertImageToGif(const std::string& source, const std::string& target) {
    return ConvertImageFile(source, target, "image/gif");
}
ImageStatus ConvertImageToTiff(const std::string& source, const std::string& target) {
    return ConvertImageFile(source, target, "image/tiff");
}
ImageStatus ConvertImageToPng(const std::string& source, const std::string& target) {
    return ConvertImageFile(source, target, "image/png");
}

void SavePngInSession(Gdiplus::GpImage* image, const std::string& fileName) {
    const GdiplusScope session;
    if (!session.Started()) return;
    SaveImageAsPng(image, fileName);
}

}  // namespace imaging
