#pragma once
// Places in a file's text as the user names them: a line of the file and a
// column in it, both counted from 1. Lines are the file's own: a long line
// shown in pieces is one line. Columns count characters, not UTF-16 units
// or screen cells: a surrogate pair is one character, and so is a tab.

#include <cstddef>
#include <string>
#include <string_view>

namespace zu {

struct LineColumn {
    long line = 1;
    long column = 1;
    friend bool operator==(const LineColumn&, const LineColumn&) = default;
};

// How many characters `text` (a stretch of one line) holds.
long characterColumns(std::u16string_view text);

// The place of the character that follows `lineUpToPlace`, the text from the
// start of the line whose index (from 0) is `lineIndex` up to the place.
LineColumn placeInLine(long lineIndex, std::u16string_view lineUpToPlace);

// Where column `column` (from 1) of `line` (its text without the break)
// starts, in UTF-16 units; a column past the line's end gives its end.
std::size_t columnOffset(std::u16string_view line, long column);

// What the status bar shows of a place: "行 12, 桁 5".
std::string lineColumnText(const LineColumn& place);

} // namespace zu
