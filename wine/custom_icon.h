// The gio command line that marks a file with a custom icon in the Linux file managers.
#pragma once

#include <string>
#include <string_view>

namespace wine {

// "/bin/gio set -t 'string' <file> 'metadata::custom-icon' <file://icon>", both Unix paths as
// single-quoted shell words, so that any name (apostrophes, $(...), blanks) reaches gio unchanged.
std::string GioCustomIconCommand(std::string_view unixFile, std::string_view unixIcon);

}  // namespace wine
