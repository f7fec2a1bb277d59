#include "app/icon_command.h"

#include "host/path_text.h"
#include "host/text_hash.h"
#include "wine/shell_quote.h"

namespace app {

IconFileKind IconFileKindOf(std::string_view fileName) {
    const std::string ending = host::AsciiLower(host::LastChars(fileName, 4));
    if (ending == ".jpg" || ending == "jpeg" || ending == ".png" || ending == ".bmp")
        return IconFileKind::Image;
    return ending == ".ico" ? IconFileKind::Icon : IconFileKind::Other;
}

std::string ConvertArguments(imaging::PictureFormat format) {
    std::string sizes;
    for (const int size : kIconSizes) {
        if (!sizes.empty()) sizes += ',';
        sizes += std::to_string(size);
    }
    const std::string input =
        std::string(imaging::DecoderPrefix(format)) + std::string(kConvertInputName);
    // jpeg:size lets the JPEG decoder scale by 1/2, 1/4 or 1/8 while reading, keeping at least
    // 512 pixels a side: twice the largest icon, so the resize below still averages pixels.
    // "[0]" takes the first frame of a file that holds several; the name is ours, so the
    // brackets are the only ones ImageMagick sees, and the quotes keep both shells off them. The
    // decoder named in front keeps ImageMagick from choosing one by what the bytes look like.
    // The Triangle filter widens with the reduction, an area average that leaves no aliasing,
    // at a third of Lanczos's cost on a 12-megapixel photo; the nine sizes are then made from
    // the 256-pixel square instead of from the photo nine times. Every size is 8 bits a channel,
    // as an icon's entries are, even from a 16-bit picture. ImageMagick stores the 256-pixel entry
    // as a PNG when the picture was one (else as a bitmap, like the smaller ones): RGBA,
    // compressed at zlib's level 4, a fifth of the default level's time for a few per cent more
    // bytes.
    return "-define jpeg:size=512x512 \"" + input +
           "[0]\" -auto-orient -filter Triangle -resize 256x256 -background none -gravity center "
           "-extent 256x256 -depth 8 -define png:compression-level=4 -define png:color-type=6 "
           "-define icon:auto-resize=" +
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

std::optional<std::string> FallbackIconPath(std::string_view localAppData,
                                            std::string_view source) {
    if (localAppData.empty() || !IconTargetPath(source)) return std::nullopt;
    const std::string name = host::FileNameOf(source);
    const std::string place = host::HashTag(host::AsciiLower(source));
    return host::WithOneTrailingBackslash(localAppData) + "Lumora-builder\\Icons\\" + place + "\\" +
           name.substr(0, name.rfind('.') + 1) + "ico";
}

std::string MagickArguments(imaging::PictureFormat format) {
    return "convert " + ConvertArguments(format);
}

std::string UnixConvertScript(std::string_view unixFolder, std::string_view unixImage,
                              int limitSeconds, imaging::PictureFormat format) {
    const std::string input(kConvertInputName);
    const std::string folder = wine::ShellQuote(unixFolder);
    const std::string image = wine::ShellQuote(unixImage);
    // The image gets our name as a hard link, or as a copy across file systems; never as a
    // symbolic link, since Wine's DeleteFile on one deletes the file it points to: the program
    // removes it with the folder. Without the folder nothing may run: the files would land
    // wherever the shell started.
    // The program cannot end a Unix process, so it says it has gone by removing the folder: a
    // watcher then ends convert (timeout hands the signal on), and whatever convert wrote in the
    // meantime goes with the folder.
    return "cd " + folder + " || exit; { ln -L -- " + image + " " + input +
           " 2>/dev/null || cp -L -- " + image + " " + input + "; } || exit; timeout -k 5 " +
           std::to_string(limitSeconds) + " convert " + ConvertArguments(format) +
           " & converter=$!; { while [ -e " + input +
           " ]; do sleep 0.1; done; kill $converter; } >/dev/null 2>&1 & watcher=$!; wait "
           "$converter; status=$?; kill $watcher 2>/dev/null; [ -e " +
           input + " ] || { cd / && rm -rf " + folder + "; }; exit $status";
}

}  // namespace app
