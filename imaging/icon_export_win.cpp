#include "imaging/icon_export_win.h"

#include <windows.h>

#include "host/program_win.h"
#include "host/text_encoding_win.h"
#include "host/unique_win.h"
#include "host/whole_file_win.h"
#include "imaging/gdiplus_save_win.h"
#include "imaging/group_icon_win.h"
#include "imaging/icon_export_paths.h"
#include "imaging/theme_icon_win.h"

namespace imaging {

namespace {

void IcoToPng(const std::string& icoPath, const std::string& pngPath) {
    // Without a size (0) the system picks the icon's own, which is what an ICO kept from an
    // earlier run gets.
    const host::UniqueIcon icon(
        static_cast<HICON>(::LoadImageW(nullptr, host::Widen(icoPath).c_str(), IMAGE_ICON,
                                        LargestIconWidth, LargestIconWidth, LR_LOADFROMFILE)));
    if (!icon) return;
    // GDI+ must be started before the bitmap is made; the save opens its own, nested session.
    const GdiplusScope session;
    if (!session.Started()) return;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (deferred::GdipCreateBitmapFromHICON(icon.Get(), &bitmap) != Gdiplus::Ok) return;
    const UniqueGpImage image(bitmap);
    // Written beside and moved into place, so a desktop never reads half a PNG.
    host::TempFileGuard temp(host::ClaimTempBeside(pngPath));
    if (!temp || SaveImageAsPng(image.Get(), temp.Get()) != kImageOk) return;
    host::MoveIntoPlace(temp.Release(), pngPath);
}

}  // namespace

std::string ExportProgramIcon(const std::string& modulePath, const std::string& iconFolder,
                              const std::string& iconName) {
    const std::string base = iconFolder + iconName;
    const std::string icoPath = base + ".ico";
    const std::string pngPath = base + ".png";
    const bool themed = ThemeIconsComplete(iconFolder, iconName);
    const bool pngThere = host::FileExists(pngPath);
    if (themed && pngThere) return pngPath;
    if (!host::FileExists(icoPath) && WriteGroupIcon(modulePath, 1, icoPath) <= 0) {
        return pngThere ? pngPath : std::string();
    }
    // Desktops look icons up by size in the theme; the flat PNG stays for the custom icon.
    if (!themed) ExportThemeIcons(icoPath, iconFolder, iconName);
    if (pngThere) return pngPath;

    IcoToPng(icoPath, pngPath);
    if (host::FileExists(pngPath)) return pngPath;

    const NumberedPngFallback fallback = PlanNumberedPngFallback(pngPath, host::FileExists);
    if (!fallback.usable) return icoPath;
    ::MoveFileW(host::Widen(fallback.renameFrom).c_str(), host::Widen(pngPath).c_str());
    for (const std::string& stale : fallback.deletes) ::DeleteFileW(host::Widen(stale).c_str());
    return pngPath;
}

}  // namespace imaging
