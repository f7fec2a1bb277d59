// Windows path pieces as text. Pure: used by every subsystem, tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

// "C:\dir\name.ext" -> "name.ext". The folder part ends at the last '\', '/' or ':'.
std::string FileNameOf(std::string_view path);
// "C:\dir\name.ext" -> "C:\dir\" (empty when the path has no folder part).
std::string FolderOf(std::string_view path);
// "name.tar.gz" -> "name.tar"; a name without a dot is returned whole.
std::string StripExtension(std::string_view fileName);
// Every trailing '\' and '/' removed, then exactly one '\' appended.
std::string WithOneTrailingBackslash(std::string_view folder);
// ASCII lower case; bytes of UTF-8 sequences are left alone.
std::string AsciiLower(std::string_view text);
// The last n bytes (the whole text when shorter).
std::string LastChars(std::string_view text, size_t n);
// Where a file is written before it replaces `target`: in the same folder (so the final move is
// a rename on one volume), unique per process and attempt, named by the program alone (nothing of
// the user's name, which may be long or odd) and ending in ".tmp", so that nothing takes it for a
// finished file. "C:\Links\Pics.lnk", 42, 0 -> "C:\Links\~lumora-42-0.tmp".
std::string TempPathBeside(std::string_view target, std::uint32_t processId, unsigned attempt);

}  // namespace host
