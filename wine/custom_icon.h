// The gio command line that marks a file with a custom icon in the Linux file managers.
#pragma once

#include <string>
#include <string_view>

namespace wine {

// The file: URI of an absolute Unix path. Every byte other than letters, digits, "-._~" and "/"
// is percent-encoded, so '#', '?', '%', blanks and UTF-8 bytes all name the file itself.
std::string FileUri(std::string_view unixPath);

// "/bin/gio set -t 'string' <file> 'metadata::custom-icon' <FileUri(icon)>", the file and the URI
// as single-quoted shell words, so that any name (apostrophes, $(...), blanks) reaches gio
// unchanged.
std::string GioCustomIconCommand(std::string_view unixFile, std::string_view unixIcon);

}  // namespace wine
