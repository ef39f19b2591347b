#include "core/tags/tag_removal.h"

#include <cstddef>
#include <utility>

namespace zu {

TagRemoval removeTags(std::u16string_view text) {
    constexpr std::size_t npos = std::u16string_view::npos;
    // Both searches start where the rest starts, and the rest moves past the
    // ">" found, which lies beyond the "<" found: each character is read at
    // most twice, however many tags there are.
    std::vector<TagSpan> tags;
    std::size_t rest = 0;
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
            return {TagRemoval::Outcome::Mismatched, {}, {}};
        tags.push_back({static_cast<long>(open), static_cast<long>(close) + 1});
        rest = close + 1;
    }
    if (tags.empty())
        return {TagRemoval::Outcome::Unchanged, {}, {}};
    std::u16string result;
    result.reserve(text.size());
    std::size_t kept = 0;
    for (const TagSpan& tag : tags) {
        result.append(text.substr(kept, static_cast<std::size_t>(tag.start) - kept));
        kept = static_cast<std::size_t>(tag.end);
    }
    result.append(text.substr(kept));
    return {TagRemoval::Outcome::Removed, std::move(result), std::move(tags)};
}

} // namespace zu
