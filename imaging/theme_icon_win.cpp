#include "imaging/theme_icon_win.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/whole_file_win.h"
#include "imaging/gdiplus_save_win.h"
#include "imaging/icon_file.h"
#include "imaging/icon_file_win.h"
#include "imaging/theme_icon.h"

namespace imaging {
namespace {

constexpr std::size_t kMaxIcoBytes = 16 * 1024 * 1024;

struct Image {
    int size = 0;
    std::vector<uint32_t> argb;  // size x size, row by row
};

// The icon's largest image as pixels. The system loads it at that size, so nothing is scaled
// before the averaging does it.
Image LargestImage(const std::string& icoPath) {
    const auto bytes = host::ReadWholeFile(icoPath, kMaxIcoBytes);
    if (!bytes) return {};
    const std::span<const uint8_t> ico(reinterpret_cast<const uint8_t*>(bytes->data()),
                                       bytes->size());
    // A whole icon file only; its sizes come smallest first.
    const auto sizes = CompleteIconSizes(ico);
    if (!sizes) return {};
    const int size = sizes->back();
    const host::UniqueIcon icon = IconFromFileBytes(ico, size);
    if (!icon) return {};
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (deferred::GdipCreateBitmapFromHICON(icon.Get(), &bitmap) != Gdiplus::Ok) return {};
    const UniqueGpImage owner(bitmap);
    Image image;
    image.size = size;
    image.argb.resize(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Gdiplus::ARGB pixel = 0;
            if (deferred::GdipBitmapGetPixel(bitmap, x, y, &pixel) != Gdiplus::Ok) return {};
            image.argb[static_cast<std::size_t>(y) * size + x] = pixel;
        }
    }
    return image;
}

bool MakeFoldersFor(const std::string& iconFolder, int size) {
    const std::string n = std::to_string(size);
    const std::string theme = ThemeFolder(iconFolder);
    return host::MakeFolders(theme + n + "x" + n + "\\apps");
}

bool SavePng(std::vector<uint32_t>& argb, int size, const std::string& target) {
    Gdiplus::GpBitmap* bitmap = nullptr;
    // The bitmap reads the pixels where they are; they outlive it.
    if (deferred::GdipCreateBitmapFromScan0(size, size, size * 4, PixelFormat32bppARGB,
                                            reinterpret_cast<BYTE*>(argb.data()),
                                            &bitmap) != Gdiplus::Ok) {
        return false;
    }
    const UniqueGpImage owner(bitmap);
    host::TempFileGuard temp(host::ClaimTempBeside(target));
    if (!temp) return false;
    if (SaveImageAsPng(bitmap, temp.Get()) != kImageOk) return false;
    return host::MoveIntoPlace(temp.Release(), target);
}

// Desktops re-read an icon theme when the time stamp of its folder changes.
void Touch(const std::string& folder) {
    const host::UniqueFile handle(
        ::CreateFileW(host::Widen(folder).c_str(), FILE_WRITE_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    ::SetFileTime(handle.Get(), nullptr, nullptr, &now);
}

}  // namespace

bool ThemeIconsComplete(const std::string& iconFolder, const std::string& iconName) {
    for (const int size : kThemeIconSizes) {
        if (!host::FileExists(ThemeIconPath(iconFolder, size, iconName))) return false;
    }
    return true;
}

bool ExportThemeIcons(const std::string& icoPath, const std::string& iconFolder,
                      const std::string& iconName) {
    const GdiplusScope session;
    if (!session.Started()) return false;
    const Image image = LargestImage(icoPath);
    if (image.argb.empty()) return false;
    bool complete = true;
    for (const int size : kThemeIconSizes) {
        std::vector<uint32_t> scaled = ScaleArgb(image.argb, image.size, image.size, size);
        complete = MakeFoldersFor(iconFolder, size) &&
                   SavePng(scaled, size, ThemeIconPath(iconFolder, size, iconName)) && complete;
    }
    Touch(ThemeFolder(iconFolder));
    return complete;
}

}  // namespace imaging
