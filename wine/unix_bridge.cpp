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

std::string UnixScriptPath(const WineHome& home) { return UnixHomeFile(home, "dues.sh"); }

std::string UnixLogPath(const WineHome& home) { return UnixHomeFile(home, "dues.log"); }

std::string WindowsScriptPath(const WineHome& home) { return WindowsHomeFile(home, "dues.sh"); }

std::string WindowsLogPath(const WineHome& home) { return WindowsHomeFile(home, "dues.log"); }

std::string ChmodCommandLine(std::string_view startSwitch, const WineHome& home) {
    return "start /" + std::string(startSwitch) + " /bin/chmod +x " + UnixScriptPath(home);
}

std::string RunScriptCommandLine(std::string_view startSwitch, const WineHome& home) {
    return "start /" + std::string(startSwitch) + " /bin/sh " + UnixScriptPath(home);
}

std::string CapturedCommand(std::string_view command, const WineHome& home) {
    // A group, so that every part of a compound command ("a; b", "a | b") is captured, not only
    // the last; the line feed ends a trailing comment or "&" before the brace. The explicit path,
    // not ~/dues.log: the file read back is the home's dues.log, and the shell's HOME need
    // not be that home.
    return "{ " + std::string(command) + "\n} > " + ShellQuote(UnixLogPath(home));
}

}  // namespace wine
