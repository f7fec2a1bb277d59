// File names of the exported program icon. Pure: the Win32 side only checks, renames and
// deletes what these name.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace imaging {

// When a PNG could not be written, an earlier export may have left a numbered series
// (<base>-0.png, <base>-1.png, ...): the highest unbroken number becomes the PNG and the lower
// ones are removed. usable is false when <base>-0.png does not exist.
struct NumberedPngFallback {
    bool usable = false;
    std::string renameFrom;            // becomes the PNG path
    std::vector<std::string> deletes;  // in this order, after the rename
};
NumberedPngFallback PlanNumberedPngFallback(const std::string& pngPath,
                                            const std::function<bool(const std::string&)>& exists);

}  // namespace imaging
