#include "wine/desktop_entry.h"

#include "host/path_text.h"
#include "host/text_hash.h"
#include "wine/desktop_name.h"

namespace wine {
namespace {

bool IsClassicPathChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == ':' || c == '\\' || c == ' ' || c == '_';
}

bool NeedsQuoting(std::string_view path) {
    for (const char c : path) {
        // Bytes of UTF-8 sequences are ordinary characters for Exec parsing.
        if (static_cast<unsigned char>(c) < 0x80 && !IsClassicPathChar(c)) return true;
    }
    return false;
}

// The classic form: backslashes first, so the ones added for spaces are not doubled again.
std::string ClassicEscape(std::string_view path) {
    std::string out;
    for (const char c : path) {
        if (c == '\\') {
            out += "\\\\\\\\";
        } else if (c == ' ') {
            out += "\\\\ ";
        } else {
            out += c;
        }
    }
    return out;
}

// A quoted Exec argument: inside double quotes, '"', '`', '$' and '\' take a backslash; the
// string-value level then doubles every backslash and writes line breaks and tabs as \n, \r,
// \t; '%' is doubled so that it is not taken for a field code.
std::string QuotedEscape(std::string_view path) {
    std::string out = "\"";
    for (const char c : path) {
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '"':
            case '`':
            case '$':
                out += "\\\\";
                out += c;
                break;
            case '\\':
                out += "\\\\\\\\";
                break;
            case '%':
                out += "%%";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

// A prefix path that reads the same inside double quotes, at the string-value level and to the
// field-code expansion. Bytes of UTF-8 sequences are ordinary characters.
bool IsPlainPrefix(std::string_view unixPrefix) {
    for (const char c : unixPrefix) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_' || c == '/' ||
                           static_cast<unsigned char>(c) >= 0x80;
        if (!plain) return false;
    }
    return true;
}

std::string PrefixArgument(std::string_view unixPrefix) {
    const std::string assignment = "WINEPREFIX=" + std::string(unixPrefix);
    if (!IsPlainPrefix(unixPrefix)) return QuotedEscape(assignment);
    return "WINEPREFIX=\"" + std::string(unixPrefix) + "\"";
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string ExecEscape(std::string_view windowsPath) {
    return NeedsQuoting(windowsPath) ? QuotedEscape(windowsPath) : ClassicEscape(windowsPath);
}

std::string DesktopEntryFileName(std::string_view desktopName, const WineHome& home) {
    std::string name = "wine-" + std::string(desktopName);
    if (!IsDefaultPrefix(home)) {
        name += '-';
        name += host::HashTag(home.unixPrefix);
    }
    return name + ".desktop";
}

std::string DesktopEntryText(const DesktopEntryFields& fields) {
    const std::string fileName = host::FileNameOf(fields.targetPath);
    std::string text = "[Desktop Entry]\n";
    text += "Name=" + host::StripExtension(fileName) + "\n";
    text += "StartupWMClass=" + host::AsciiLower(fileName) + "\n";
    if (fields.show) {
        text += "Exec=env " + PrefixArgument(fields.unixPrefix) + " wine " +
                ExecEscape(fields.targetPath) + "\n";
    } else {
        text += "NoDisplay=true\n";
    }
    text += "Type=Application\n";
    text += "Terminal=false\n";
    text += "StartupNotify=true\n";
    text += "Icon=" + fields.iconName + "\n";
    return text;
}

EntryKind DesktopEntryKind(std::string_view text) {
    bool inGroup = false;
    bool seenGroup = false;
    bool hasExec = false;
    bool suppressed = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            seenGroup = seenGroup || inGroup;
            continue;
        }
        if (!inGroup) continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::string_view value = Trimmed(line.substr(equals + 1));
        if (key == "Exec" && !value.empty()) hasExec = true;
        if ((key == "NoDisplay" || key == "Hidden") && value == "true") suppressed = true;
    }
    if (!seenGroup) return EntryKind::None;
    return hasExec && !suppressed ? EntryKind::Shown : EntryKind::Hidden;
}

}  // namespace wine
