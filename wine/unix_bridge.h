// The texts of the Unix command bridge: the script, the start command lines, the log redirection.
#pragma once

#include <string>
#include <string_view>

#include "wine/wine_home.h"

namespace wine {

// "unix" when the version compares byte-wise >= "11", else "exec" (an empty version too).
std::string StartSwitch(std::string_view wineVersion);
// Exact bytes of dues.sh: "#!/bin/bash\n" + command + "\n", line feeds only.
std::string UnixScriptBytes(std::string_view command);
// dues.sh and dues.log in the home, as the Unix side sees them.
std::string UnixScriptPath(const WineHome& home);
std::string UnixLogPath(const WineHome& home);
// The same files as Windows sees them.
std::string WindowsScriptPath(const WineHome& home);
std::string WindowsLogPath(const WineHome& home);
// "start /<switch> /bin/chmod +x <home>/dues.sh".
std::string ChmodCommandLine(std::string_view startSwitch, const WineHome& home);
// "start /<switch> /bin/sh <home>/dues.sh".
std::string RunScriptCommandLine(std::string_view startSwitch, const WineHome& home);
// The command, grouped, with its whole standard output sent to the log file that is read back.
std::string CapturedCommand(std::string_view command, const WineHome& home);

}  // namespace wine
