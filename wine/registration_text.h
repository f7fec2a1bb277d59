// Texts of the Linux registration: its questions, its failure message, the relaunch batch.
#pragma once

#include <string>
#include <string_view>

namespace wine {

// First question: register as a Linux App? (CR LF between its two lines)
std::string RegisterQuestionText();
// Second question: move the program to C:\Apps? Lines are separated by a lone CR.
// unixFolder is the program folder as a Unix path, ending in '/'.
std::string RelocateQuestionText(std::string_view unixFolder);
// Shown when the desktop entry could not be written.
std::string RegistrationFailedText();
// The batch that waits, deletes the program at its old place and starts the copy. Three CR LF
// lines; every '%' is doubled so that cmd does not expand it inside a path.
std::string RelaunchBatchText(std::string_view oldProgramPath, std::string_view newProgramPath);

}  // namespace wine
