// Turns a chosen image into a multi-size .ico beside it, and shows that icon once it is whole.
#pragma once

#include <string>

namespace app {

// ImageMagick's magick through the command interpreter (Windows), or the Linux convert
// through the Unix bridge (Wine).
enum class IconConverter { WindowsMagick, UnixConvert };

// Converts the image into the .ico beside it with the tool of the system the program runs on;
// where nothing can be written beside it, into the user's own icon folder (FallbackIconPath).
// IconSource names that .ico, and the picture shows it, only once the file is complete; on any
// failure both stay as they were, as does an older .ico of that name, and the user hears a beep
// (or reads that ImageMagick is missing). A file whose bytes are no JPEG, PNG or bitmap is
// refused with a beep before anything runs. Called again while a conversion runs, the newer image
// is converted next and the running result is dropped: the latest choice wins.
void ConvertIcon(const std::string& image);
void ConvertIcon(const std::string& image, IconConverter converter);

// The open dialog has opened: under Wine the shell a conversion of its choice will run in is
// started now, while the user chooses, so that its OK starts the converter at once.
void PrepareIconConversion();
// The open dialog's OK for the image, before the dialog has closed: its conversion starts now,
// and the ConvertIcon call for the same image that follows the dialog waits for it instead of
// starting another. Nothing starts while a conversion runs, nor for a file ConvertIcon refuses.
void StartIconConversionEarly(const std::string& image);
// The dialog has closed: an early conversion it gave no image for after all is ended, and the
// shell started for it let go.
void DropEarlyIconConversion();

// A choice that needs no conversion (an .ico file) was made: whatever conversion is running or
// waiting is not shown.
void DropPendingIconConversions();

// True while a conversion runs (the window shows the app-starting cursor).
bool IconConversionRunning();

// While a conversion runs: the action (Build) is kept to run once the conversions are over and
// their icon is the choice, and the answer is true; the window keeps answering meanwhile.
// Without a conversion: false, and the caller goes on at once.
bool RunAfterIconConversions(void (*action)());

// The program is closing (or relaunching) during a conversion: the converter is ended now, its
// folder removed, and nothing more is converted, written, shown or run afterwards.
void AbandonIconConversions();

}  // namespace app
