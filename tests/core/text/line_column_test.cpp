#include "core/text/line_column.h"

#include <gtest/gtest.h>

namespace zu {
namespace {

struct ColumnCase {
    const char* name;
    std::u16string_view line;
    long columns;       // characters of the whole line
    long column;        // a column asked for
    std::size_t offset; // where it starts
};

TEST(LineColumn, ColumnsCountCharacters) {
    const ColumnCase cases[] = {
        {"empty line", u"", 0, 1, 0},
        {"ASCII", u"<p>abc", 6, 4, 3},
        {"Japanese, one column each", u"日本語<b>", 6, 3, 2},
        {"a tab is one character", u"\ta\tb", 4, 3, 2},
        {"a surrogate pair is one character", u"𠮷野家", 3, 2, 2},
        {"after two pairs", u"𠮷𠮷x", 3, 3, 4},
        {"an unpaired high surrogate counts alone", u"\xD842x", 2, 2, 1},
        {"an unpaired low surrogate counts alone", u"a\xDFB7x", 3, 3, 2},
        {"a column past the end gives the end", u"ab", 2, 9, 2},
        {"column 1 and below give the start", u"ab", 2, 0, 0},
    };
    for (const ColumnCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(characterColumns(c.line), c.columns);
        EXPECT_EQ(columnOffset(c.line, c.column), c.offset);
    }
}

TEST(LineColumn, ThePlaceAndItsStatusBarText) {
    EXPECT_EQ(placeInLine(0, u""), (LineColumn{1, 1}));
    EXPECT_EQ(placeInLine(11, u"𠮷ab\t"), (LineColumn{12, 5}));
    EXPECT_EQ(lineColumnText({12, 5}), "行 12, 桁 5");
    EXPECT_EQ(lineColumnText({1048576, 1}), "行 1048576, 桁 1");
}

} // namespace
} // namespace zu
