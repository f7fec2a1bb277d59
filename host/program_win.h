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
// The folder for temporary files, with its trailing backslash; empty when there is none.
std::string TempFolder();

}  // namespace host
