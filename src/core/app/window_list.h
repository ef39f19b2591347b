#pragma once
// The list of open document windows at the foot of the Window menu, as
// multiple-document programs on every desktop keep it: numbered 1 to 9, the
// active window checked, choosing an entry activates its window.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zu {

inline constexpr std::size_t kWindowListSize = 9;

// Which windows the list shows, by their place in the order they were
// opened, in the order they are listed. The first nine are listed; when the
// active window is beyond them it takes the ninth place, so that the menu
// always shows which window is active.
std::vector<std::size_t> listedWindows(std::size_t windowCount, std::optional<std::size_t> active);

// The label of list entry `slot` (0 to 8): its number as the mnemonic, then
// the window's caption shown as it is.
std::string windowMenuLabel(std::size_t slot, std::string_view caption);

} // namespace zu
