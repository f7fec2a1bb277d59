#include "wine/custom_icon.h"

#include "wine/shell_quote.h"

namespace wine {

std::string GioCustomIconCommand(std::string_view unixFile, std::string_view unixIcon) {
    return "/bin/gio set -t 'string' " + ShellQuote(unixFile) + " 'metadata::custom-icon' " +
           ShellQuote("file://" + std::string(unixIcon));
}

}  // namespace wine
