#include "core/edit/go_to_line.h"

#include <algorithm>
#include <climits>

namespace zu {
namespace {

bool isBlank(std::string_view text) {
    return std::ranges::all_of(text, [](char c) { return c == ' ' || c == '\t'; });
}

// The messages take the bounds as the Options dialog's fields hold them.
int bound(long value) {
    return static_cast<int>(std::min<long>(value, INT_MAX));
}

} // namespace

std::variant<GoToPlace, FieldFailure> readGoTo(std::string_view line, std::string_view column,
                                               long lineCount,
                                               const std::function<long(long line)>& lineColumns) {
    const std::optional<int> lineNumber = parseDialogInteger(line);
    if (!lineNumber)
        return FieldFailure{kGoToLineField, integerMessage()};
    if (*lineNumber < 1 || *lineNumber > lineCount)
        return FieldFailure{kGoToLineField, rangeMessage(1, bound(lineCount))};
    GoToPlace place{*lineNumber, 1};
    if (isBlank(column))
        return place;
    const std::optional<int> columnNumber = parseDialogInteger(column);
    if (!columnNumber)
        return FieldFailure{kGoToColumnField, integerMessage()};
    const long last = lineColumns(place.line) + 1;
    if (*columnNumber < 1 || *columnNumber > last)
        return FieldFailure{kGoToColumnField, rangeMessage(1, bound(last))};
    place.column = *columnNumber;
    return place;
}

} // namespace zu
