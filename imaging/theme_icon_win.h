// Writes the program icon into the user's icon theme, one PNG per size the desktop asks for.
#pragma once

#include <string>

namespace imaging {

// True when every size of kThemeIconSizes lies in the theme under iconFolder for the name.
bool ThemeIconsComplete(const std::string& iconFolder, const std::string& iconName);

// Scales the largest image of the .ico file to each size of kThemeIconSizes and writes
// iconFolder\hicolor\<n>x<n>\apps\<iconName>.png, each replaced whole; creates the folders, then
// renews the time stamp of the theme folder, by which desktops notice new icons. True when every
// size is in place.
bool ExportThemeIcons(const std::string& icoPath, const std::string& iconFolder,
                      const std::string& iconName);

}  // namespace imaging
