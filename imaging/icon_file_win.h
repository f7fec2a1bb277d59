// An icon read from an .ico file, at the size it is shown.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "host/unique_win.h"

namespace imaging {

// The icon built from the file's image that fits a square of `pixels` best; empty when the file
// cannot be read or holds no usable image. Works past MAX_PATH.
host::UniqueIcon LoadIconFile(const std::string& path, int pixels);
// The same, from the bytes of an .ico file already read.
host::UniqueIcon IconFromFileBytes(std::span<const std::uint8_t> ico, int pixels);

}  // namespace imaging
