// Turns the image named by IconSource into a multi-size .ico beside it and shows it.
#pragma once

namespace app {

void ConvertIcon();

}  // namespace app
