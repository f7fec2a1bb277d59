// A short, stable name for a text (a path), for file names that must differ when the texts do.
// Pure; not for security.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

// 64-bit FNV-1a of the bytes.
constexpr std::uint64_t Fnv1a64(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// The lowest `digits` hex digits of the value, lower case, leading zeros kept.
inline std::string HexDigits(std::uint64_t value, int digits) {
    std::string text(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[static_cast<size_t>(i)] = "0123456789abcdef"[value & 0xF];
    return text;
}

}  // namespace host
