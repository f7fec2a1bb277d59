// Facts about the running program and the file system that every subsystem asks for.
#pragma once

#include <string>

namespace host {

// Full path of the running executable.
std::string ProgramPath();
// Its folder, with the trailing backslash.
std::string ProgramFolder();
// Its file name without folder and extension: caption, message-box caption, position file name.
std::string ProgramName();
// True when the attributes of the path can be read (a folder counts). Never reports an error.
bool FileExists(const std::string& path);
// Value of an environment variable; empty when unset.
std::string EnvironmentVariable(const std::string& name);
// Makes the folder and every missing folder above it; true when the folder is there afterwards
// (made now or before).
bool MakeFolders(const std::string& folder);
// The folder for temporary files, with its trailing backslash; empty when there is none. The
// one answer for every temporary file, batch and script of the program.
std::string TempFolder();
// The system folder ("C:\windows\system32"); empty when it cannot be had.
std::string SystemFolder();
// A program of the system by its full path in the system folder ("cmd.exe" ->
// "C:\windows\system32\cmd.exe"), so that no file of that name elsewhere runs instead.
std::string SystemProgramPath(const std::string& fileName);
// The file a bare program name stands for on the PATH, with the PATHEXT endings, as the user's
// shell finds it, but never in the current folder; empty when there is none.
std::string FindOnSearchPath(const std::string& name);

}  // namespace host
