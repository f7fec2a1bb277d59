#include "host/path_text.h"

namespace host {

std::string FileNameOf(std::string_view path) {
    const size_t cut = path.find_last_of("\\/:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string FolderOf(std::string_view path) {
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string StripExtension(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    return std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
}

std::string WithOneTrailingBackslash(std::string_view folder) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) {
        folder.remove_suffix(1);
    }
    return std::string(folder) + '\\';
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string LastChars(std::string_view text, size_t n) {
    return std::string(text.size() <= n ? text : text.substr(text.size() - n));
}

std::string TempPathBeside(std::string_view target, std::uint32_t processId, unsigned attempt) {
    return FolderOf(target) + "~lumora-" + std::to_string(processId) + "-" +
           std::to_string(attempt) + ".tmp";
}

}  // namespace host
