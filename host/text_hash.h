// A short, stable name for a text (a path), for file names that must differ when the texts do.
// Pure; not for security.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

// Eight lower-case hex digits of the text's 32-bit FNV-1a hash: stable across runs and builds,
// which is all a name needs.
inline std::string HashTag(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    std::string tag(8, '0');
    for (int i = 7; i >= 0; --i, hash >>= 4)
        tag[static_cast<size_t>(i)] = "0123456789abcdef"[hash & 0xF];
    return tag;
}

}  // namespace host
