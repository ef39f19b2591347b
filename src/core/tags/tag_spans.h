#pragma once
// Tag colouring: which stretches of a document's text take the tag colour,
// and which colour that is.

#include "core/edit/edit_buffer.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace zu {

// Characters start..end (end excluded) of the text: a "<" and what follows
// it up to, not including, its ">".
struct TagSpan {
    long start = 0;
    long end = 0;
    friend bool operator==(const TagSpan&, const TagSpan&) = default;
};

// The spans to colour in `text`, in ascending order. Positions are UTF-16
// indexes, as the editing control counts. A tag is coloured only when its
// "<" and ">" are on the same source line; "\n", "\r", "\r\n" and U+2029
// each end a line.
std::vector<TagSpan> tagSpans(std::u16string_view text);

// Where the tag colours can change when the text around an edit changes.
// Each ">" closes the tag that the first "<" after the ">" (or line start)
// before it opens, so the spans of the stretch between two ">" depend on
// nothing outside it: an edit of `text` from..to (to excluded, in the text
// as it is after the edit) can change the spans of the stretch from just
// after the last ">" or line end in front of `from` to just after the first
// ">" at or after `to`, or up to the first line end there. tagSpans of that
// stretch alone gives its spans as the whole text would.
//
// The start of that stretch: the position after the last ">" or line end
// in text[0, from); nothing when there is none (the stretch may begin
// further back, in text not given).
std::optional<std::size_t> tagStretchStart(std::u16string_view text, std::size_t from);
// Its end: the position after the first ">" at or after `to`, or that of
// the first line end if one comes first; nothing when the text ends before
// either (the stretch may go on in text not given).
std::optional<std::size_t> tagStretchEnd(std::u16string_view text, std::size_t to);

// The colour for a `tagColor` setting: 0 dark red, 1 green, 2 blue. Any other
// value gives nothing, and the view keeps the colour it had.
std::optional<Rgb> tagColour(int tagColor);

} // namespace zu
