// The format of a picture file on disk, from its first bytes.
#pragma once

#include <string>

#include "imaging/picture_format.h"

namespace imaging {

// Unknown also when the file cannot be read.
PictureFormat PictureFormatOfFile(const std::string& path);

}  // namespace imaging
