#pragma once
// The user's choice of program per file type: the "[Default Applications]"
// group of mimeapps.list. A value is a list of desktop ids separated by ";",
// the first that is installed being the default. Editing changes the one
// line concerned and leaves every other byte of the file as it was, since
// the file belongs to the user and to every other program on the desktop.

#include <string>
#include <string_view>
#include <vector>

namespace zu {

inline constexpr std::string_view kDefaultGroup = "[Default Applications]";
inline constexpr std::string_view kAddedGroup = "[Added Associations]";
inline constexpr std::string_view kRemovedGroup = "[Removed Associations]";

// The desktop ids that `group` lists for `mimeType`, in order; empty when
// it lists none.
std::vector<std::string> listedApplications(std::string_view mimeapps, std::string_view group,
                                            std::string_view mimeType);

// The desktop ids listed for `mimeType` as its defaults, in order.
inline std::vector<std::string> defaultApplications(std::string_view mimeapps,
                                                    std::string_view mimeType) {
    return listedApplications(mimeapps, kDefaultGroup, mimeType);
}

// The file with `desktopId` first in the list for `mimeType`, the rest of
// the list kept behind it; the group and the line are added when missing.
std::string withDefaultApplication(std::string_view mimeapps, std::string_view mimeType,
                                   std::string_view desktopId);

// The file with `desktopId` taken out of the list for `mimeType`; a line
// left with no id is removed.
std::string withoutDefaultApplication(std::string_view mimeapps, std::string_view mimeType,
                                      std::string_view desktopId);

} // namespace zu
