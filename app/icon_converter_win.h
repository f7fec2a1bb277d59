// One run of ImageMagick on one image, in a folder of the run's own, and its early end.
#pragma once

#include <memory>
#include <string>

#include "app/icon_convert_win.h"
#include "imaging/picture_format.h"

namespace wine {
class UnixStandby;
}

namespace app {

enum class Outcome { Converted, Failed, ConverterMissing };

struct Conversion {
    Outcome outcome = Outcome::Failed;
    std::string icon;  // the checked .ico bytes, when converted
};

// A conversion started and not yet waited for; dropped, it ends the converter and removes its
// folder.
struct RunningConversion;
struct EndConversion {
    void operator()(RunningConversion* running) const;
};
using StartedConversion = std::unique_ptr<RunningConversion, EndConversion>;

// Starts the converter on the image and returns without waiting; a conversion still running is
// ended first, as only one runs at a time. The Unix convert starts in the standby shell when one
// is given and still waiting. Never null.
StartedConversion StartConversion(const std::string& image, imaging::PictureFormat format,
                                  IconConverter converter, wine::UnixStandby* standby = nullptr);
// Waits for the started conversion and reads the result back: Converted only for an exit status
// of 0 and a whole icon with the nine sizes. Dispatches messages while it waits.
Conversion FinishConversion(StartedConversion started);
// Both of the above.
Conversion Convert(const std::string& image, imaging::PictureFormat format,
                   IconConverter converter);

// From a message handled during Convert's wait: ends the converter (and whatever it started) at
// once and removes its folder, so that nothing it would still write can land anywhere; Convert
// then answers Failed. Nothing happens when no conversion runs.
void EndRunningConversion();

}  // namespace app
