#include "wine/unix_bridge.h"

#include "wine/shell_quote.h"

namespace wine {

std::string StartSwitch(std::string_view wineVersion) {
    // Deliberately a text comparison, not a numeric one: "10.0" < "11" <= "8.0".
    return wineVersion >= std::string_view("11") ? "unix" : "exec";
}

std::string UnixScriptBytes(std::string_view command) {
    std::string bytes = "#!/bin/bash\n";
    bytes += command;
    bytes += '\n';
    return bytes;
}

std::string UnixScriptPath(std::string_view userName) {
    return "/home/" + std::string(userName) + "/dues.sh";
}

std::string UnixLogPath(std::string_view userName) {
    return "/home/" + std::string(userName) + "/dues.log";
}

std::string WindowsScriptPath(std::string_view userName) {
    return "z:\\home\\" + std::string(userName) + "\\dues.sh";
}

std::string WindowsLogPath(std::string_view userName) {
    return "z:\\home\\" + std::string(userName) + "\\dues.log";
}

std::string ChmodCommandLine(std::string_view startSwitch, std::string_view userName) {
    return "start /" + std::string(startSwitch) + " /bin/chmod +x " + UnixScriptPath(userName);
}

std::string RunScriptCommandLine(std::string_view startSwitch, std::string_view userName) {
    return "start /" + std::string(startSwitch) + " /bin/sh " + UnixScriptPath(userName);
}

std::string CapturedCommand(std::string_view command, std::string_view userName) {
    // A group, so that every part of a compound command ("a; b", "a | b") is captured, not only
    // the last; the line feed ends a trailing comment or "&" before the brace. The explicit path,
    // not ~/dues.log: the file read back is z:\home\USER\dues.log, and the shell's HOME need
    // not be /home/USER.
    return "{ " + std::string(command) + "\n} > " + ShellQuote(UnixLogPath(userName));
}

}  // namespace wine
