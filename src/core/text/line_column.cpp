#include "core/text/line_column.h"

#include "core/text/utf.h"

#include <algorithm>

namespace zu {

long characterColumns(std::u16string_view text) {
    // A low surrogate after a high one finishes a character the high one
    // has counted already; an unpaired one counts as what it shows, one
    // replacement character.
    long count = static_cast<long>(text.size());
    for (std::size_t i = 1; i < text.size(); ++i)
        if (isLowSurrogate(text[i]) && isHighSurrogate(text[i - 1]))
            --count;
    return count;
}

LineColumn placeInLine(long lineIndex, std::u16string_view lineUpToPlace) {
    return {lineIndex + 1, characterColumns(lineUpToPlace) + 1};
}

std::size_t columnOffset(std::u16string_view line, long column) {
    std::size_t at = 0;
    for (long c = 1; c < column && at < line.size(); ++c) {
        const bool pair =
            at + 1 < line.size() && isHighSurrogate(line[at]) && isLowSurrogate(line[at + 1]);
        at += pair ? 2 : 1;
    }
    return at;
}

std::string lineColumnText(const LineColumn& place) {
    return "行 " + std::to_string(place.line) + ", 桁 " + std::to_string(place.column);
}

} // namespace zu
