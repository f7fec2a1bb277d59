// The texts of the Unix command bridge: the script, the start command lines, the log redirection.
#pragma once

#include <string>
#include <string_view>

namespace wine {

// "unix" when the version compares byte-wise >= "11", else "exec" (an empty version too).
std::string StartSwitch(std::string_view wineVersion);
// Exact bytes of dues.sh: "#!/bin/bash\n" + command + "\n", line feeds only.
std::string UnixScriptBytes(std::string_view command);
// "/home/USER/dues.sh" and "/home/USER/dues.log", as the Unix side sees them.
std::string UnixScriptPath(std::string_view userName);
std::string UnixLogPath(std::string_view userName);
// The same files as Windows sees them through drive z:.
std::string WindowsScriptPath(std::string_view userName);
std::string WindowsLogPath(std::string_view userName);
// "start /<switch> /bin/chmod +x /home/USER/dues.sh".
std::string ChmodCommandLine(std::string_view startSwitch, std::string_view userName);
// "start /<switch> /bin/sh /home/USER/dues.sh".
std::string RunScriptCommandLine(std::string_view startSwitch, std::string_view userName);
// The command, grouped, with its whole standard output sent to the log file that is read back.
std::string CapturedCommand(std::string_view command, std::string_view userName);

}  // namespace wine
