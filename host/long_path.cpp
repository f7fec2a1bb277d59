#include "host/long_path.h"

namespace host {
namespace {

constexpr size_t kMaxPath = 260;

// UTF-16 length of UTF-8 text: one unit per character, two for those beyond the BMP.
size_t Utf16Length(std::string_view utf8) {
    size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++units;  // a lead or ASCII byte starts a character
        if ((c & 0xF8) == 0xF0) ++units;  // four-byte sequences need a surrogate pair
    }
    return units;
}

std::string WithBackslashes(std::string_view path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string ExtendedLengthPath(std::string_view path) {
    if (Utf16Length(path) < kMaxPath) return std::string(path);
    const bool drive = path.size() >= 3 && path[1] == ':' && IsSeparator(path[2]) &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (drive) return "\\\\?\\" + WithBackslashes(path);
    const bool unc = path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
                     path[2] != '?' && path[2] != '.';
    if (unc) return "\\\\?\\UNC\\" + WithBackslashes(path.substr(2));
    return std::string(path);
}

}  // namespace host
