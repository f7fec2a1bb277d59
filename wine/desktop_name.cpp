#include "wine/desktop_name.h"

#include "host/path_text.h"

namespace wine {

std::string DesktopName(std::string_view path) {
    if (path.empty() || path.size() > 260) return {};
    // Only '\' and ':' end the folder part here: a '/' stays in the name, as Windows would
    // reject it in a file name anyway and the name must stay stable across callers.
    const size_t cut = path.find_last_of("\\:");
    std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    std::string compact;
    for (char c : name) {
        if (c != ' ') compact += c;
    }
    return host::AsciiLower(compact);
}

}  // namespace wine
