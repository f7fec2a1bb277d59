// Turns the image named by IconSource into a multi-size .ico beside it and shows it.
#pragma once

namespace app {

// ImageMagick's magick through the command interpreter (Windows), or the Linux convert
// through the Unix bridge (Wine).
enum class IconConverter { WindowsMagick, UnixConvert };

// Converts with the tool of the system the program runs on.
void ConvertIcon();
void ConvertIcon(IconConverter converter);

}  // namespace app
