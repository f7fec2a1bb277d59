// Texts of the icon conversion: where the .ico goes and the ImageMagick command lines.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "imaging/picture_format.h"

namespace app {

// Shown when neither the start-up nor a conversion finds ImageMagick.
inline constexpr char kImageMagickMissingText[] = "Error: ImageMagick not installed on the system!";

// What a chosen or dropped file is as an icon: an image to convert, an icon to show, or neither.
enum class IconFileKind { Image, Icon, Other };
// By the name's ending, in any case: .jpg, .jpeg, .png and .bmp are images, .ico is an icon.
IconFileKind IconFileKindOf(std::string_view fileName);

// The sizes every converted icon holds, smallest first.
inline constexpr std::array<int, 9> kIconSizes{16, 24, 32, 48, 64, 72, 96, 128, 256};

// Inside a conversion's own folder ImageMagick sees only these names: no character of the
// user's file name ever reaches it, since it reads %, [...], @, ~, * and a leading - as orders.
inline constexpr std::string_view kConvertInputName = "src";
inline constexpr std::string_view kConvertOutputName = "out.ico";

// The exit statuses of a converter that is not there: the shell's and cmd's "not found".
inline constexpr int kShellCommandNotFound = 127;
inline constexpr int kCmdCommandNotFound = 9009;

// ImageMagick's arguments, the same for magick and convert: read the first frame of
// kConvertInputName with the decoder of the format its bytes showed (never one ImageMagick
// guesses), shrink it once into a 256-pixel transparent square, keeping its proportions, and
// write the nine sizes from that square into kConvertOutputName. The format is not Unknown.
std::string ConvertArguments(imaging::PictureFormat format);

// The source up to and including its last '.', then "ico": C:\img\my.cat.png -> C:\img\my.cat.ico.
// nullopt when the file name itself has no '.' (a dot in a folder name does not count).
std::optional<std::string> IconTargetPath(std::string_view source);

// Where the icon goes when it cannot be written beside the image (read-only media, no
// permission, a full disk): in the user's own icon folder (localAppData\Lumora-builder\Icons\),
// in a folder named after the image's full path in any case, under the image's own name with
// ".ico". So every image has its own place there, and the name Build proposes stays the image's.
// nullopt as for IconTargetPath, or without localAppData.
std::optional<std::string> FallbackIconPath(std::string_view localAppData, std::string_view source);

// The name of a conversion's own folder: unique to the process and the run.
std::string ConversionFolderName(unsigned long processId, unsigned run);

// magick's arguments: "convert" and the arguments above, run in the conversion's folder, where
// the source has been linked or copied as kConvertInputName.
std::string MagickArguments(imaging::PictureFormat format);

// For /bin/sh: in the conversion's folder, link or copy the image as kConvertInputName, run
// convert with the arguments, stopped after limitSeconds (timeout's status 124), remove the
// image's name again and end with convert's exit status. Once the image's name is gone from the
// folder (the program removes the folder when it closes), convert is ended and the folder goes.
std::string UnixConvertScript(std::string_view unixFolder, std::string_view unixImage,
                              int limitSeconds, imaging::PictureFormat format);

}  // namespace app
