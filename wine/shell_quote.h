// Quoting for POSIX shell text that the program writes for /bin/sh.
#pragma once

#include <string>
#include <string_view>

namespace wine {

// The text as one single-quoted shell word: nothing inside is expanded ($, `, \, blanks all stay
// literal). Each ' inside is written as '\'' (close, escaped quote, reopen).
std::string ShellQuote(std::string_view text);

}  // namespace wine
