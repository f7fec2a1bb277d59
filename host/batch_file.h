// The batch file through which a console command runs with its output captured. Pure text rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace host {

// Names of a run's batch file and of the file its redirection fills, both in the working folder:
// "temp-<pid>-<run>.bat" and "dump-<pid>-<run>.txt", so that no two processes and no two runs of
// one process share them.
struct CommandFileNames {
    std::string batch;
    std::string capture;
};
CommandFileNames CommandFiles(std::uint32_t processId, std::uint32_t run);

// cmd expands %NAME% even inside double quotes; "%%" is its escape for one literal '%'.
std::string DoublePercent(std::string_view text);

// The folder a command runs in: the folder given, or TEMP + "\" when it is empty (a lone "\"
// when TEMP is unset too), with its trailing backslashes cut to exactly one.
std::string CommandWorkingFolder(std::string_view folder, std::string_view temp);

// The batch text and the environment variables the command interpreter must inherit to read it.
struct BatchFile {
    std::string text;                                            // ASCII only
    std::vector<std::pair<std::string, std::string>> variables;  // name, UTF-8 value
};

// Batch text built piece by piece, for cmd, which decodes batch bytes with the console code page
// (Wine's cmd keeps decoding with the OEM code page even after "chcp 65001"). Syntax is written
// as given and must be ASCII. Text (paths, names) has every '%' doubled, and each run of
// non-ASCII characters is written as a reference to an environment variable holding it, which
// the command interpreter must inherit; equal runs share one variable.
class BatchBuilder {
public:
    BatchBuilder& Syntax(std::string_view syntax);
    BatchBuilder& Text(std::string_view text);
    BatchFile Take();

private:
    std::string VariableFor(std::string_view value);
    BatchFile out_;
};

// Four CR LF lines: "@echo off", the folder's drive, "cd" into the folder, the command with its
// output redirected to the capture file (a name in the working folder); the folder, the command
// and the name are Text, so names like 100%x%.png or Café reach the command unchanged. ASCII
// input gives the four lines byte for byte and no variables.
BatchFile MakeBatchFile(std::string_view workingFolder, std::string_view command,
                        std::string_view captureFileName);

// Every text enclosed by two neighbouring '%' signs ("a%b%c%d" gives "b" and "c"), empty ones
// left out. cmd expands such names in the batch file's own path when it is started, so a working
// folder named "100%x%" would lead it to another file while a variable x is defined.
std::vector<std::string> PercentEnclosedNames(std::string_view text);

// The captured text without its trailing CR and LF characters (in any mix).
std::string TrimTrailingLineBreaks(std::string_view text);

// True when the bytes are well-formed UTF-8 (ASCII included).
bool IsValidUtf8(std::string_view bytes);

}  // namespace host
