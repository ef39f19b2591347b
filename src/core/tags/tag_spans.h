#pragma once
// Tag colouring: which stretches of a document's text take the tag colour,
// and which colour that is.

#include "core/edit/edit_buffer.h"

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

// The colour for a `tagColor` setting: 0 dark red, 1 green, 2 blue. Any other
// value gives nothing, and the view keeps the colour it had.
std::optional<Rgb> tagColour(int tagColor);

} // namespace zu
