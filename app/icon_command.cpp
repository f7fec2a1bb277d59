#include "app/icon_command.h"

#include "host/path_text.h"
#include "wine/shell_quote.h"

namespace app {

IconFileKind IconFileKindOf(std::string_view fileName) {
    const std::string ending = host::AsciiLower(host::LastChars(fileName, 4));
    if (ending == ".jpg" || ending == "jpeg" || ending == ".png" || ending == ".bmp")
        return IconFileKind::Image;
    return ending == ".ico" ? IconFileKind::Icon : IconFileKind::Other;
}

std::optional<std::string> IconTargetPath(std::string_view source) {
    // Without a dot in the name the rule would take the folder's dot, or give the bare relative
    // name "ico" in whatever the current directory is.
    if (host::FileNameOf(source).find('.') == std::string::npos) return std::nullopt;
    return std::string(source.substr(0, source.rfind('.') + 1)) + "ico";
}

std::string IconTempPath(std::string_view target) { return std::string(target) + ".tmp.ico"; }

std::string WindowsConvertCommand(std::string_view source, std::string_view target) {
    // cmd.exe cannot quote a '"' inside a word, but Windows file names cannot contain one.
    return "magick convert \"" + std::string(source) + "\" " + std::string(kIconOptions) + " \"" +
           std::string(target) + "\"";
}

std::string UnixConvertCommand(std::string_view unixSource, std::string_view unixTemp,
                               std::string_view unixTarget) {
    const std::string temp = wine::ShellQuote(unixTemp);
    return "convert " + wine::ShellQuote(unixSource) + " " + std::string(kIconOptions) + " " +
           temp + " && mv -f " + temp + " " + wine::ShellQuote(unixTarget);
}

std::string UnixConvertScript(std::string_view unixSource, std::string_view unixTemp,
                              std::string_view unixTarget) {
    return UnixConvertCommand(unixSource, unixTemp, unixTarget) + "; status=$?; rm -f " +
           wine::ShellQuote(unixTemp) + "; exit $status";
}

}  // namespace app
