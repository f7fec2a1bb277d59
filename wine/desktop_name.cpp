#include "wine/desktop_name.h"

#include <cstdint>

#include "host/path_text.h"
#include "host/text_hash.h"

namespace wine {
namespace {

constexpr size_t kMaxPathChars = 260;
// "wine-" + name + the prefix tag "-1a2b3c4d" + ".desktop" must stay within the 255 bytes a
// Linux file name may have.
constexpr size_t kMaxNameBytes = 255 - 22;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The last n characters (UTF-8 sequences, not bytes) of the text.
std::string_view LastCharacters(std::string_view text, size_t n) {
    size_t start = text.size();
    for (size_t count = 0; start > 0 && count < n; ++count) {
        do {
            --start;
        } while (start > 0 && IsContinuationByte(text[start]));
    }
    return text.substr(start);
}

// A name too long for a file name keeps its beginning and gets a hash of the whole, so that
// two long names stay apart. The cut never splits a UTF-8 sequence.
std::string Bounded(const std::string& name) {
    if (name.size() <= kMaxNameBytes) return name;
    std::string suffix(1, '-');
    suffix += host::HashTag(name);
    size_t cut = kMaxNameBytes - suffix.size();
    while (cut > 0 && IsContinuationByte(name[cut])) --cut;
    return name.substr(0, cut) + suffix;
}

}  // namespace

std::string DesktopName(std::string_view path) {
    // A long path keeps its end, where the file name is: every such program still gets a name
    // of its own rather than one shared empty name.
    path = LastCharacters(path, kMaxPathChars);
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
    return Bounded(host::AsciiLower(compact));
}

}  // namespace wine
