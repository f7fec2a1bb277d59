// Wine's drive letters as Unix paths: the dosdevices listing and the path translation rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wine {

// Entries "d:/media/data" from the output of "ls -al ~/.wine/dosdevices", in listing order.
// The c: and z: drives and device links are left out.
std::vector<std::string> ParseDriveListing(std::string_view listing);

// The Unix path of a Windows path (backslashes or slashes, any case of drive letter), given the
// drive entries and the Linux user name. Never fails: unknown forms go through dosdevices.
std::string ToUnixPath(std::string_view path, const std::vector<std::string>& driveMap,
                       std::string_view userName);

}  // namespace wine
