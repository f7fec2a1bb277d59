#include "wine/desktop_entry.h"

#include "host/path_text.h"

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
// string-value level then doubles every backslash, and '%' is doubled so that it is not taken
// for a field code.
std::string QuotedEscape(std::string_view path) {
    std::string out = "\"";
    for (const char c : path) {
        switch (c) {
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

}  // namespace

std::string ExecEscape(std::string_view windowsPath) {
    return NeedsQuoting(windowsPath) ? QuotedEscape(windowsPath) : ClassicEscape(windowsPath);
}

std::string DesktopEntryText(const DesktopEntryFields& fields) {
    const std::string fileName = host::FileNameOf(fields.targetPath);
    std::string text = "[Desktop Entry]\n";
    text += "Name=" + host::StripExtension(fileName) + "\n";
    text += "StartupWMClass=" + host::AsciiLower(fileName) + "\n";
    if (fields.show) {
        text += "Exec=env WINEPREFIX=\"" + fields.unixPrefix + "\" wine " +
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

}  // namespace wine
