// Texts of the icon conversion: where the .ico goes and the ImageMagick command lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace app {

// What a chosen or dropped file is as an icon: an image to convert, an icon to show, or neither.
enum class IconFileKind { Image, Icon, Other };
// By the name's ending, in any case: .jpg, .jpeg, .png and .bmp are images, .ico is an icon.
IconFileKind IconFileKindOf(std::string_view fileName);

// The sizes every converted icon holds.
inline constexpr std::string_view kIconOptions =
    "-define png:color-type=6 -define icon:auto-resize=16,24,32,48,64,72,96,128,256";

// The source up to and including its last '.', then "ico": C:\img\my.cat.png -> C:\img\my.cat.ico.
// nullopt when the file name itself has no '.' (a dot in a folder name does not count).
std::optional<std::string> IconTargetPath(std::string_view source);
// Where the conversion writes before the result replaces the target: beside it, so the final
// move stays on one file system, and ending in .ico so ImageMagick picks the format.
std::string IconTempPath(std::string_view target);
// magick convert "<source>" <options> "<target>" (Windows, through the command interpreter).
std::string WindowsConvertCommand(std::string_view source, std::string_view target);
// convert '<source>' <options> '<temp>' && mv -f '<temp>' '<target>' (Unix paths, /bin/sh).
std::string UnixConvertCommand(std::string_view unixSource, std::string_view unixTemp,
                               std::string_view unixTarget);
// The Unix conversion followed by its bookkeeping: the temporary file is removed whatever
// happened, and the conversion's exit status is the script's.
std::string UnixConvertScript(std::string_view unixSource, std::string_view unixTemp,
                              std::string_view unixTarget);

}  // namespace app
