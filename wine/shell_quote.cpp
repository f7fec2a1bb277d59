#include "wine/shell_quote.h"

namespace wine {

std::string ShellQuote(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    for (const char c : text) {
        // Inside single quotes nothing is special except the closing quote itself.
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

}  // namespace wine
