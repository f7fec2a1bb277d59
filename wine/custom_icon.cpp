#include "wine/custom_icon.h"

#include "wine/shell_quote.h"

namespace wine {

std::string FileUri(std::string_view unixPath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char c : unixPath) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_' || byte == '~' || byte == '/';
        if (plain) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0x0F];
        }
    }
    return uri;
}

std::string GioCustomIconCommand(std::string_view unixFile, std::string_view unixIcon) {
    return "/bin/gio set -t 'string' " + ShellQuote(unixFile) + " 'metadata::custom-icon' " +
           ShellQuote(FileUri(unixIcon));
}

}  // namespace wine
