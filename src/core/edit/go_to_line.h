#pragma once
// Go to line: what the dialog's two fields ask for, read and checked as the
// Options dialog reads and checks its integer fields, with the same
// messages.

#include "core/settings/option_rules.h"

#include <functional>
#include <string_view>
#include <variant>

namespace zu {

// The dialog's fields, as a refused value names them.
enum GoToField : int { kGoToLineField = 1, kGoToColumnField = 2 };

// The place asked for: a line of the file and a column in it, from 1.
struct GoToPlace {
    long line = 1;
    long column = 1;
    friend bool operator==(const GoToPlace&, const GoToPlace&) = default;
};

// Reads the fields as typed (UTF-8). The line must be an integer from 1 to
// `lineCount`. The column may be left blank, for the line's start; else it
// must be an integer from 1 to one past the line's last character, where
// `lineColumns(line)` says how many characters that line holds. The line is
// judged first; the first refused field comes back with its message.
std::variant<GoToPlace, FieldFailure> readGoTo(std::string_view line, std::string_view column,
                                               long lineCount,
                                               const std::function<long(long line)>& lineColumns);

} // namespace zu
