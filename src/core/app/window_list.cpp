#include "core/app/window_list.h"

#include "core/app/menus.h"

namespace zu {

std::vector<std::size_t> listedWindows(std::size_t windowCount, std::optional<std::size_t> active) {
    std::vector<std::size_t> listed;
    for (std::size_t i = 0; i < windowCount && i < kWindowListSize; ++i)
        listed.push_back(i);
    if (active && *active < windowCount && *active >= kWindowListSize)
        listed.back() = *active;
    return listed;
}

std::string windowMenuLabel(std::size_t slot, std::string_view caption) {
    return "&" + std::to_string(slot + 1) + " " + literalMenuText(caption);
}

} // namespace zu
