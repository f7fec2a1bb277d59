#include "wine/unix_bridge.h"

#include "wine/shell_quote.h"

namespace wine {
namespace {

// Wine hands the shell this program's own standard streams. Neither the shell, nor the command,
// nor a daemon or a hung child of it may keep them open: whoever waits for them to close (a
// terminal, a test runner) would wait for it.
const std::string kLetGoOfTheCallersStreams = "exec </dev/null >/dev/null 2>&1\n";

}  // namespace

UnixRunFileNames UnixRunFiles(std::uint32_t processId, std::uint32_t run) {
    const std::string base = "lumora-" + std::to_string(processId) + "-" + std::to_string(run);
    return {base + ".sh", base + ".out", base + ".status", base + ".order", base + ".pipe"};
}

std::string UnixRunScript(std::string_view command, std::string_view script,
                          std::string_view output, std::string_view status) {
    const std::string quotedScript = ShellQuote(script);
    const std::string quotedOutput = ShellQuote(output);
    // A subshell, so that every part of a compound command ("a; b", "a | b") is captured and an
    // "exit" ends only the command; the line feed ends a trailing comment before the parenthesis.
    // The shell keeps reading the script it opened even once the file is gone: a script removed
    // meanwhile means the waiter has given up, and then nothing is left behind.
    // The status is one write of a whole line, which a reader sees whole or not at all (an empty
    // file is no status yet); it comes first, as the waiter removes the script too.
    return kLetGoOfTheCallersStreams + "( " + std::string(command) + "\n) > " + quotedOutput +
           "\nstatus=$?\nif [ -e " + quotedScript + " ]; then printf '%s\\n' \"$status\" > " +
           ShellQuote(status) + "; rm -f " + quotedScript + "; else rm -f " + quotedOutput +
           "; fi\n";
}

std::string DetachedUnixScript(std::string_view command, std::string_view script) {
    // Work nobody waits for yields the processor to the window that is starting meanwhile.
    return kLetGoOfTheCallersStreams + "rm -f " + ShellQuote(script) + "\nrenice -n 10 $$\n( " +
           std::string(command) + "\n)\n";
}

std::string StandbyUnixScript(std::string_view script, std::string_view order,
                              std::string_view pipe, int limitSeconds) {
    const std::string quotedOrder = ShellQuote(order);
    const std::string quotedPipe = ShellQuote(pipe);
    // Without its pipe it cannot wait, and the order goes at once: the program then starts its
    // run itself. read opens the pipe once tail has it open for writing, and returns with the
    // first whole line; at the limit tail ends, and read sees the pipe's end instead (a line cut
    // short runs nothing). The tail is not needed past that line. The run's script is read by
    // this very shell, and its files are removed meanwhile: each process started costs the run
    // a millisecond or two.
    return kLetGoOfTheCallersStreams + "rm -f " + ShellQuote(script) + "\nmkfifo -m 600 " +
           quotedPipe + " || { rm -f " + quotedOrder + "; exit; }\ntimeout " +
           std::to_string(limitSeconds) + " tail -s 0.05 -n +1 -f -- " + quotedOrder + " > " +
           quotedPipe + " &\nfollower=$!\nIFS= read -r run < " + quotedPipe +
           " || run=\nkill $follower 2>/dev/null\nrm -f " + quotedPipe + " " + quotedOrder +
           " &\n[ -n \"$run\" ] && . \"$run\"\n";
}

std::optional<int> ParseExitStatus(std::string_view text) {
    if (text.size() < 2 || text.size() > 5 || text.back() != '\n') return std::nullopt;
    int status = 0;
    for (const char c : text.substr(0, text.size() - 1)) {
        if (c < '0' || c > '9') return std::nullopt;
        status = status * 10 + (c - '0');
    }
    return status;
}

std::string QuoteWindowsArgument(std::string_view argument) {
    // Backslashes are literal except in front of a quote: there each one is doubled, and so are
    // those in front of the closing quote.
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string ShellCommandLine(std::string_view shellProgram, std::string_view unixScript) {
    return QuoteWindowsArgument(shellProgram) + " " + QuoteWindowsArgument(unixScript);
}

}  // namespace wine
