// How a program named on a command line is found, and the command line that runs it. Pure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

// The files the user's shell would try for a bare program name, in its order: each PATH entry,
// each with every PATHEXT ending (".COM;.EXE;.BAT;.CMD" when PATHEXT is empty). Unlike the shell,
// never the current folder, nor a PATH entry that is relative (".", "bin") and so names one.
std::vector<std::string> SearchPathCandidates(std::string_view name, std::string_view pathVariable,
                                              std::string_view pathExtVariable);

// True for the endings the command interpreter runs itself: .bat and .cmd, in any case.
bool IsBatchFile(std::string_view path);

// The command line that runs the program (a full path) with the arguments: a batch file through
// the interpreter named by its full path ("/d": no AutoRun commands; "/s": only the outer quotes
// are taken away), anything else directly.
std::string ProgramCommandLine(std::string_view interpreter, std::string_view program,
                               std::string_view arguments);

}  // namespace host
