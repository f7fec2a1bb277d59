// Whole files in and out: the one reader, the one writer of scratch files, and the one way a
// file the user or the desktop sees is replaced.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace host {

// The file's bytes, at most maxBytes of them; nullopt when it cannot be opened or read. Opened
// with full sharing: a file another program is still writing can be read as it stands.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Creates the file, or truncates it, opened without sharing, and writes all the bytes. For the
// program's scratch files (batch, script, capture); false when not every byte was written.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Writes the bytes at the start of a file that must already be there, which a reader may hold
// open meanwhile; false when it is not there or not every byte was written.
bool WriteExistingFile(const std::string& path, std::string_view bytes);

// Replaces the file whole: the bytes go to a temporary file beside it, are flushed, and that
// file is moved over the target in one step. On any failure the temporary file is deleted and
// the target left as it was. True when the new file is in place.
bool ReplaceWholeFile(const std::string& target, std::string_view bytes);

// A fresh, empty temporary file beside the target, claimed by creating it exclusively, for
// writers that want a path (the shell link, a converter); empty when the folder takes no new
// file. Hand it to MoveIntoPlace once written.
std::string ClaimTempBeside(const std::string& target);

// Moves a written temporary file over the target as ReplaceWholeFile does. On failure the
// temporary file is deleted and the target left as it was. True when the new file is in place.
bool MoveIntoPlace(const std::string& temp, const std::string& target);

}  // namespace host
