#include "host/command_search.h"

#include "host/path_text.h"

namespace host {
namespace {

constexpr std::string_view kDefaultPathExt = ".COM;.EXE;.BAT;.CMD";

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> items;
    while (!list.empty()) {
        const size_t end = list.find(';');
        std::string item(list.substr(0, end));
        // A quoted entry ("C:\Program Files\x") keeps its semicolons out of the list's syntax
        // only in theory; the quotes themselves are never part of the folder.
        std::erase(item, '"');
        if (!item.empty()) items.push_back(std::move(item));
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return items;
}

// A drive path ("C:\x") or a network one ("\\server\share"): anything else depends on the
// current folder.
bool IsAbsoluteFolder(std::string_view folder) {
    const bool drive =
        folder.size() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/') &&
        ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'));
    const bool network = folder.size() >= 3 && folder[0] == '\\' && folder[1] == '\\';
    return drive || network;
}

}  // namespace

std::vector<std::string> SearchPathCandidates(std::string_view name, std::string_view pathVariable,
                                              std::string_view pathExtVariable) {
    std::vector<std::string> endings = SplitList(pathExtVariable);
    if (endings.empty()) endings = SplitList(kDefaultPathExt);
    std::vector<std::string> candidates;
    for (const std::string& folder : SplitList(pathVariable)) {
        if (!IsAbsoluteFolder(folder)) continue;
        for (const std::string& ending : endings)
            candidates.push_back(WithOneTrailingBackslash(folder) + std::string(name) + ending);
    }
    return candidates;
}

bool IsBatchFile(std::string_view path) {
    const std::string ending = AsciiLower(LastChars(path, 4));
    return ending == ".bat" || ending == ".cmd";
}

std::string ProgramCommandLine(std::string_view interpreter, std::string_view program,
                               std::string_view arguments) {
    // Appended piece by piece: g++ 12 misreads "\"" + std::string(...) as an overlapping copy.
    std::string line;
    const bool batch = IsBatchFile(program);
    if (batch) line.append("\"").append(interpreter).append("\" /d /s /c \"");
    line.append("\"").append(program).append("\"");
    if (!arguments.empty()) line.append(" ").append(arguments);
    if (batch) line.append("\"");
    return line;
}

}  // namespace host
