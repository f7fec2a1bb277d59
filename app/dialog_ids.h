// Control IDs of the main dialog.
#pragma once

namespace app {

inline constexpr int kFolderEntryId = 3164;
inline constexpr int kHintLabelId = 3134;
inline constexpr int kBrowseButtonId = 3144;
inline constexpr int kBuildButtonId = 3145;
inline constexpr int kIconPictureId = 3154;
inline constexpr int kHelpLinkId = 3165;

}  // namespace app
