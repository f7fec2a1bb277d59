// Whole small files in and out: the batch and capture files, the position file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace host {

// Creates the file, or truncates it, opened without sharing, and writes all the bytes.
// False when it cannot be created or not every byte was written.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// The file's bytes, at most maxBytes of them; nullopt when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes);

}  // namespace host
