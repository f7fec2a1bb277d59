// The version number reported for a system file: major + minor / 100.
#pragma once

#include <cstdint>

namespace host {

// From the most significant half of a file version (major in the high 16 bits, minor in the
// low 16), as a count of ten-thousandths: 6.10 gives 6.1 (61000), 6.1 gives 6.01 (60100).
// Plain arithmetic, no run-time support: it is used by functions exported from the executable.
constexpr std::int64_t VersionTenThousandths(std::uint32_t fileVersionMS) {
    const std::int64_t major = fileVersionMS >> 16;
    const std::int64_t minor = fileVersionMS & 0xFFFF;
    return major * 10000 + minor * 100;
}

constexpr double VersionNumber(std::uint32_t fileVersionMS) {
    return static_cast<double>(VersionTenThousandths(fileVersionMS)) / 10000.0;
}

}  // namespace host
