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

std::string ConvertArguments() {
    std::string sizes;
    for (const int size : kIconSizes) {
        if (!sizes.empty()) sizes += ',';
        sizes += std::to_string(size);
    }
    const std::string input = std::string(kConvertInputName);
    // jpeg:size lets the JPEG decoder scale by 1/2, 1/4 or 1/8 while reading, keeping at least
    // 512 pixels a side: twice the largest icon, so the resize below still averages pixels.
    // "[0]" takes the first frame of a file that holds several; the name is ours, so the
    // brackets are the only ones ImageMagick sees, and the quotes keep both shells off them.
    // The Triangle filter widens with the reduction, an area average that leaves no aliasing,
    // at a third of Lanczos's cost on a 12-megapixel photo; the nine sizes are then made from
    // the 256-pixel square instead of from the photo nine times.
    return "-define jpeg:size=512x512 \"" + input +
           "[0]\" -auto-orient -filter Triangle -resize 256x256 -background none -gravity center "
           "-extent 256x256 -define png:color-type=6 -define icon:auto-resize=" +
           sizes + " " + std::string(kConvertOutputName);
}

std::optional<std::string> IconTargetPath(std::string_view source) {
    // Without a dot in the name the rule would take the folder's dot, or give the bare relative
    // name "ico" in whatever the current directory is.
    if (host::FileNameOf(source).find('.') == std::string::npos) return std::nullopt;
    return std::string(source.substr(0, source.rfind('.') + 1)) + "ico";
}

std::string ConversionFolderName(unsigned long processId, unsigned run) {
    return "lumora-icon-" + std::to_string(processId) + "-" + std::to_string(run);
}

std::string WindowsConvertCommand() { return "magick convert " + ConvertArguments(); }

std::string UnixConvertScript(std::string_view unixFolder, std::string_view unixImage,
                              int limitSeconds) {
    const std::string input(kConvertInputName);
    const std::string image = wine::ShellQuote(unixImage);
    // The image gets our name as a hard link, or as a copy across file systems; never as a
    // symbolic link, since Wine's DeleteFile on one deletes the file it points to. The script
    // removes it itself all the same. Without the folder nothing may run: the files would land
    // wherever the shell started.
    return "cd " + wine::ShellQuote(unixFolder) + " || exit; { ln -L -- " + image + " " + input +
           " 2>/dev/null || cp -L -- " + image + " " + input + "; } && timeout -k 5 " +
           std::to_string(limitSeconds) + " convert " + ConvertArguments() + "; status=$?; rm -f " +
           input + "; exit $status";
}

}  // namespace app
