#include "wine/drive_map.h"

#include "host/path_text.h"
#include "wine/shell_quote.h"

namespace wine {
namespace {

constexpr std::string_view kArrow = " -> ";

void EraseAll(std::string& text, std::string_view what) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at))
        text.erase(at, what.size());
}

// "::" -> ":", left to right without overlap (":::" gives "::").
std::string CollapseDoubleColons(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == ':' && i + 1 < text.size() && text[i + 1] == ':') ++i;
    }
    return result;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// One listing line to an entry; empty when the line is no extra drive link.
std::string DriveEntryOf(std::string_view line) {
    const size_t arrow = line.find(kArrow);
    if (arrow == std::string_view::npos) return {};
    // The link name is the last word before the arrow; ls puts owner, size and date before it.
    if (arrow > 0) {
        const size_t space = line.rfind(' ', arrow - 1);
        if (space != std::string_view::npos) line.remove_prefix(space + 1);
    }
    // c: and z: are handled by fixed rules; "d::" and the like are raw device nodes.
    if (line.find("/dev/") != std::string_view::npos || line.find("c:") != std::string_view::npos ||
        line.find("z:") != std::string_view::npos)
        return {};
    std::string entry(line);
    EraseAll(entry, kArrow);
    return CollapseDoubleColons(entry);
}

}  // namespace

std::string DriveListingCommand(const WineHome& home) {
    return "ls -al " + ShellQuote(home.unixPrefix + "/dosdevices");
}

std::vector<std::string> ParseDriveListing(std::string_view listing) {
    std::vector<std::string> entries;
    while (!listing.empty()) {
        const size_t end = listing.find('\n');
        const std::string_view line = listing.substr(0, end);
        listing.remove_prefix(end == std::string_view::npos ? listing.size() : end + 1);
        if (std::string entry = DriveEntryOf(line); !entry.empty())
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::string ToUnixPath(std::string_view path, const std::vector<std::string>& driveMap,
                       const WineHome& home) {
    std::string unixPath(path);
    for (char& c : unixPath)
        if (c == '\\') c = '/';
    const std::string head = host::AsciiLower(std::string_view(unixPath).substr(0, 3));

    if (head == "z:/") return unixPath.substr(2);
    if (head == "c:/") return home.unixPrefix + "/drive_c/" + unixPath.substr(3);
    for (const std::string& entry : driveMap) {
        // A relative link target ("e:../mnt/e") means nothing to a Unix tool started elsewhere;
        // such drives are reached through their link in dosdevices below.
        if (entry.size() < 3 || entry[2] != '/') continue;
        if (head.size() == 3 && head[2] == '/' && head.compare(0, 2, entry, 0, 2) == 0)
            return entry.substr(2) + unixPath.substr(2);
    }
    std::string fallback = home.unixPrefix + "/dosdevices/" + unixPath;
    if (const size_t colon = fallback.find(':'); colon != std::string::npos && colon > 0)
        fallback[colon - 1] = LowerAscii(fallback[colon - 1]);
    return fallback;
}

bool NeedsDriveMap(std::string_view path) {
    const std::string head = host::AsciiLower(path.substr(0, 3));
    return head != "c:/" && head != "c:\\" && head != "z:/" && head != "z:\\";
}

char DosdevicesDriveOf(std::string_view unixPath, const WineHome& home) {
    const std::string links = home.unixPrefix + "/dosdevices/";
    if (unixPath.substr(0, links.size()) != links) return 0;
    const std::string_view rest = unixPath.substr(links.size());
    if (rest.size() < 2 || rest[1] != ':' || (rest.size() > 2 && rest[2] != '/')) return 0;
    return LowerAscii(rest[0]);
}

std::string ThroughDriveTarget(std::string_view unixPath, const WineHome& home, bool cLeadsToDriveC,
                               const std::vector<std::string>& driveMap) {
    const char drive = DosdevicesDriveOf(unixPath, home);
    if (drive == 0) return std::string(unixPath);
    // After "<prefix>/dosdevices/x:": empty or starting with '/'.
    const std::string_view rest = unixPath.substr(home.unixPrefix.size() + 14);
    if (drive == 'c' && cLeadsToDriveC) return home.unixPrefix + "/drive_c" + std::string(rest);
    if (drive != 'c') {
        for (const std::string& entry : driveMap) {
            if (entry.size() < 3 || entry[2] != '/' || entry[0] != drive) continue;
            return entry.substr(2) + std::string(rest);
        }
    }
    return std::string(unixPath);
}

}  // namespace wine
