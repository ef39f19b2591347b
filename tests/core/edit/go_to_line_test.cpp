#include "core/edit/go_to_line.h"

#include <gtest/gtest.h>

#include <string>

namespace zu {
namespace {

struct GoToCase {
    const char* line;
    const char* column;
    std::variant<GoToPlace, FieldFailure> result;
};

TEST(GoToLine, ReadsAndChecksBothFieldsAsTheOptionsDialogDoes) {
    // Three lines of 0, 5 and 2 characters.
    const auto columns = [](long line) { return line == 2 ? 5L : line == 3 ? 2L : 0L; };
    const std::string lineRange = "1 から 3 までの整数を入力してください。";
    const std::string integer = "整数を入力してください。";
    const GoToCase cases[] = {
        {"1", "", GoToPlace{1, 1}},
        {" 3\t", " ", GoToPlace{3, 1}},
        {"+2", "6", GoToPlace{2, 6}},
        {"3", "3", GoToPlace{3, 3}},
        {"0", "", FieldFailure{kGoToLineField, lineRange}},
        {"4", "", FieldFailure{kGoToLineField, lineRange}},
        {"", "", FieldFailure{kGoToLineField, integer}},
        {"９", "", FieldFailure{kGoToLineField, integer}},
        {"99999999999", "", FieldFailure{kGoToLineField, integer}},
        {"2", "7", FieldFailure{kGoToColumnField, "1 から 6 までの整数を入力してください。"}},
        {"1", "2", FieldFailure{kGoToColumnField, "1 から 1 までの整数を入力してください。"}},
        {"3", "a", FieldFailure{kGoToColumnField, integer}},
    };
    for (const GoToCase& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " / " + c.column);
        EXPECT_EQ(readGoTo(c.line, c.column, 3, columns), c.result);
    }
}

} // namespace
} // namespace zu
