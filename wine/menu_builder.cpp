#include "wine/menu_builder.h"

namespace wine {
namespace {

char Folded(char c) {
    if (c == '/') return '\\';
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool LiesUnder(std::string_view path, std::string_view folder) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        folder.remove_suffix(1);
    }
    if (folder.empty() || path.size() <= folder.size() + 1) return false;
    for (size_t i = 0; i < folder.size(); ++i) {
        if (Folded(path[i]) != Folded(folder[i])) return false;
    }
    return Folded(path[folder.size()]) == '\\';
}

std::string MenuBuilderCommandLine(std::string_view systemFolder, std::string_view shortcutPath) {
    std::string folder(systemFolder);
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return "\"" + folder + "winemenubuilder.exe\" -w \"" + std::string(shortcutPath) + "\"";
}

}  // namespace wine
