// Turns a chosen image into a multi-size .ico beside it, and shows that icon once it is whole.
#pragma once

#include <string>

namespace app {

// ImageMagick's magick through the command interpreter (Windows), or the Linux convert
// through the Unix bridge (Wine).
enum class IconConverter { WindowsMagick, UnixConvert };

// Converts the image into the .ico beside it with the tool of the system the program runs on.
// IconSource names that .ico, and the picture shows it, only once the file is complete; on any
// failure both stay as they were, as does an older .ico of that name, and the user hears a beep
// (or reads that ImageMagick is missing). Called again while a conversion runs, the newer image
// is converted next and the running result is dropped: the latest choice wins.
void ConvertIcon(const std::string& image);
void ConvertIcon(const std::string& image, IconConverter converter);

// A choice that needs no conversion (an .ico file) was made: whatever conversion is running or
// waiting is not shown.
void DropPendingIconConversions();

}  // namespace app
