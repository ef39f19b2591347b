#include "core/tags/tag_spans.h"

#include <algorithm>
#include <cstddef>

namespace zu {
namespace {

constexpr std::u16string_view kLineEnds = u"\r\n\u2029";
// What parts the text into stretches whose tag colours stand alone.
constexpr std::u16string_view kStretchEnds = u">\r\n\u2029";

// The first `c` in [from, end), or `end` when there is none.
std::size_t findBefore(std::u16string_view text, char16_t c, std::size_t from, std::size_t end) {
    const std::size_t at = text.substr(0, end).find(c, from);
    return at == std::u16string_view::npos ? end : at;
}

void addLineSpans(std::u16string_view text, std::size_t begin, std::size_t end,
                  std::vector<TagSpan>& spans) {
    // Each search goes on from where the last one of its kind stopped, so a
    // line is read at most twice whatever the order of its delimiters. A "<"
    // found ahead of a ">" is kept until the search position passes it:
    // looking for it again after each stray ">" would read a line such as
    // ">>>>...<" over and over.
    std::size_t from = begin;
    std::size_t open = findBefore(text, u'<', from, end);
    std::size_t close = findBefore(text, u'>', from, end);
    while (open < end && close < end) {
        // A ">" in front of the "<" closes a tag begun on an earlier line, or
        // is a ">" in plain text. Colouring from the line start up to it
        // would be a guess at where that tag began (and would colour plain
        // text), so nothing is coloured for it; the search goes on after it.
        if (open < close)
            spans.push_back({static_cast<long>(open), static_cast<long>(close)});
        from = close + 1;
        if (open < from)
            open = findBefore(text, u'<', from, end);
        close = findBefore(text, u'>', from, end);
    }
}

} // namespace

// By source line rather than by display line: display lines move when the
// window is resized, and the same text must come out the same colour.
std::vector<TagSpan> tagSpans(std::u16string_view text) {
    std::vector<TagSpan> spans;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find_first_of(kLineEnds, begin);
        if (end == std::u16string_view::npos)
            end = text.size();
        addLineSpans(text, begin, end, spans);
        if (end == text.size())
            break;
        // A "\r\n" pair leaves an empty line between its two characters,
        // which holds no tag, so the pair needs no case of its own.
        begin = end + 1;
    }
    return spans;
}

std::optional<std::size_t> tagStretchStart(std::u16string_view text, std::size_t from) {
    const std::size_t at = text.substr(0, from).find_last_of(kStretchEnds);
    if (at == std::u16string_view::npos)
        return std::nullopt;
    return at + 1;
}

std::optional<std::size_t> tagStretchEnd(std::u16string_view text, std::size_t to) {
    const std::size_t at = text.find_first_of(kStretchEnds, std::min(to, text.size()));
    if (at == std::u16string_view::npos)
        return std::nullopt;
    // A line end stays outside the stretch: it belongs to no tag.
    return text[at] == u'>' ? at + 1 : at;
}

std::optional<Rgb> tagColour(int tagColor) {
    switch (tagColor) {
    case 0:
        return Rgb{192, 0, 0};
    case 1:
        return Rgb{0, 128, 0};
    case 2:
        return Rgb{0, 0, 255};
    default:
        return std::nullopt;
    }
}

} // namespace zu
