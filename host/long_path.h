// Paths longer than MAX_PATH, handed to the wide file APIs.
#pragma once

#include <string>
#include <string_view>

namespace host {

// Without a long-path manifest, Windows refuses absolute paths of MAX_PATH (260) characters or
// more unless they carry the "\\?\" prefix. Long drive paths ("C:\...") get "\\?\", long UNC
// paths ("\\server\share\...") get "\\?\UNC\"; with the prefix Windows no longer turns '/' into
// '\', so that is done here. Shorter, relative and already prefixed paths come back unchanged.
// The length is counted in UTF-16 units, as Windows counts it.
std::string ExtendedLengthPath(std::string_view utf8Path);

}  // namespace host
