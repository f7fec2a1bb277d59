// Texts of the Linux registration: its questions, its failure message, the relaunch batch.
#pragma once

#include <string>
#include <string_view>

#include "host/batch_file.h"

namespace wine {

// First question: register as a Linux App? (CR LF between its two lines)
std::string RegisterQuestionText();
// Second question: move the program to C:\Apps? Lines are separated by a lone CR.
// unixFolder is the program folder as a Unix path, ending in '/'.
std::string RelocateQuestionText(std::string_view unixFolder);
// Shown when the desktop entry could not be written.
std::string RegistrationFailedText();
// The batch that deletes the program at its old place and starts the copy, then deletes itself.
// A running program cannot be deleted, so the deletion is retried, about once a second, for half
// a minute while this process ends; the copy starts either way. The paths pass through the batch
// builder: '%', '&', '^' and letters beyond ASCII all reach cmd intact (cmd must inherit the
// variables). Paths never hold '"', which Windows forbids in names.
host::BatchFile RelaunchBatch(std::string_view oldProgramPath, std::string_view newProgramPath);
// File name of that batch in TEMP: the program name, with every character that cmd could take
// for syntax or that its code page may lack written as '_', and ".bat".
std::string RelaunchBatchName(std::string_view programName);

}  // namespace wine
