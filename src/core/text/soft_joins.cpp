#include "core/text/soft_joins.h"

#include "core/text/utf.h"

#include <algorithm>

namespace zu {
namespace {

// Whether the character starting at `at` attaches to the one before it, so
// that a paragraph end between them would draw it alone: combining marks
// (the Japanese voiced-sound marks among them), variation selectors,
// zero-width joiners and emoji skin tones. A short list, not the whole
// Unicode table: what it misses only looks odd at a join, it loses nothing.
bool attachesToPrevious(std::u16string_view text, std::size_t at) {
    const char16_t c = text[at];
    if ((c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
        (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
        (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) || c == 0x3099 ||
        c == 0x309A || c == 0x200D)
        return true;
    const char32_t pair = codePointAt(text, at);
    return (pair >= 0xE0100 && pair <= 0xE01EF) || // variation selectors 17-256
           (pair >= 0x1F3FB && pair <= 0x1F3FF);   // skin tones
}

// Whether a piece may end in front of `at` (0 < at < size).
bool canCut(std::u16string_view line, std::size_t at) {
    if (isHighSurrogate(line[at - 1]) && isLowSurrogate(line[at]))
        return false;
    if (line[at - 1] == 0x200D)
        return false; // a joiner binds what follows it
    return !attachesToPrevious(line, at);
}

// Where word wrap would end a row: after a blank, or after the '>' that
// closes a tag (minified pages have no blanks, but tags throughout).
bool endsARow(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'>' || c == u'\u3000';
}

bool isBreak(char16_t c) {
    return c == u'\n' || c == u'\u2029';
}

} // namespace

std::vector<std::size_t> softJoinPoints(std::u16string_view line, std::size_t bound) {
    std::vector<std::size_t> points;
    bound = std::max<std::size_t>(bound, 2);
    std::size_t start = 0;
    while (line.size() - start > bound) {
        const std::size_t last = start + bound;
        const std::size_t half = start + bound / 2;
        std::size_t cut = 0;
        for (std::size_t at = last; at > half && cut == 0; --at)
            if (endsARow(line[at - 1]) && canCut(line, at))
                cut = at;
        for (std::size_t at = last; at > start && cut == 0; --at)
            if (canCut(line, at))
                cut = at;
        if (cut == 0) // nothing but marks: a piece of marks looks odd, a hang would be worse
            cut = isHighSurrogate(line[last - 1]) ? last - 1 : last;
        points.push_back(cut);
        start = cut;
    }
    return points;
}

std::vector<std::size_t> softJoinPointsOfText(std::u16string_view text, std::size_t bound) {
    std::vector<std::size_t> points;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = begin;
        while (end < text.size() && !isBreak(text[end]))
            ++end;
        if (end - begin > bound)
            for (std::size_t at : softJoinPoints(text.substr(begin, end - begin), bound))
                points.push_back(begin + at);
        begin = end + 1;
    }
    return points;
}

JoinMap JoinMap::fromSourcePoints(const std::vector<std::size_t>& points) {
    // The k-th join adds the k-th separator in front of its paragraph.
    std::vector<long> starts;
    starts.reserve(points.size());
    for (std::size_t k = 0; k < points.size(); ++k)
        starts.push_back(static_cast<long>(points[k] + k + 1));
    return JoinMap(std::move(starts));
}

long JoinMap::toSource(long control) const {
    // A separator and the start of the paragraph after it are one source
    // position: every join at or before `control` takes one away.
    const auto before = std::ranges::upper_bound(starts_, control) - starts_.begin();
    return control - static_cast<long>(before);
}

long JoinMap::toControl(long source, Side side) const {
    // The k-th join (from 0) stands at source position starts_[k] - k - 1,
    // ascending in k; each join at the position counts on the After side.
    std::size_t low = 0, high = starts_.size();
    while (low < high) {
        const std::size_t k = low + (high - low) / 2;
        const long at = starts_[k] - static_cast<long>(k) - 1;
        if (side == Side::After ? at <= source : at < source)
            low = k + 1;
        else
            high = k;
    }
    return source + static_cast<long>(low);
}

std::u16string JoinMap::sourceText(std::u16string_view control, long offset) const {
    std::u16string text;
    text.reserve(control.size());
    std::size_t copied = 0;
    const long end = offset + static_cast<long>(control.size());
    for (auto it = std::ranges::upper_bound(starts_, offset); it != starts_.end(); ++it) {
        const long separator = *it - 1;
        if (separator >= end)
            break;
        const auto at = static_cast<std::size_t>(separator - offset);
        text.append(control.substr(copied, at - copied));
        copied = at + 1;
    }
    text.append(control.substr(copied));
    return text;
}

} // namespace zu
