#include "core/tags/tag_removal.h"

#include <cstddef>
#include <utility>

namespace zu {

TagRemoval removeTags(std::u16string_view text) {
    constexpr std::size_t npos = std::u16string_view::npos;
    // Both searches start where the rest starts, and the rest moves past the
    // ">" found, which lies beyond the "<" found: each character is read at
    // most twice, however many tags there are.
    std::u16string result;
    std::size_t rest = 0;
    bool removed = false;
    for (;;) {
        const std::size_t open = text.find(u'<', rest);
        const std::size_t close = text.find(u'>', rest);
        // A "<" without a ">" after it (or the reverse) ends the work, and the
        // rest, stray delimiter and all, is kept as it stands.
        if (open == npos || close == npos)
            break;
        // Nothing is removed, not even the tags before this point: removal
        // is all or nothing, and a stray ">" is left for the user to mend.
        if (close < open)
            return {TagRemoval::Outcome::Mismatched, {}};
        result.append(text.substr(rest, open - rest));
        rest = close + 1;
        removed = true;
    }
    if (!removed)
        return {TagRemoval::Outcome::Unchanged, {}};
    result.append(text.substr(rest));
    return {TagRemoval::Outcome::Removed, std::move(result)};
}

} // namespace zu
