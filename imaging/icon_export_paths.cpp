#include "imaging/icon_export_paths.h"

namespace imaging {

NumberedPngFallback PlanNumberedPngFallback(const std::string& pngPath,
                                            const std::function<bool(const std::string&)>& exists) {
    NumberedPngFallback plan;
    const std::string base = pngPath.size() >= 4 ? pngPath.substr(0, pngPath.size() - 4) : "";
    auto numbered = [&base](unsigned n) { return base + "-" + std::to_string(n) + ".png"; };
    if (!exists(numbered(0))) return plan;
    // The probe stops at the first gap: files above it are left alone.
    unsigned last = 0;
    while (last < 0xFFFFFFFFu && exists(numbered(last + 1))) ++last;
    plan.usable = true;
    plan.renameFrom = numbered(last);
    for (unsigned i = 0; i < last; ++i) plan.deletes.push_back(numbered(i));
    return plan;
}

}  // namespace imaging
