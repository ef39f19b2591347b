#include "core/assist/table_template.h"

#include <gtest/gtest.h>

#include <climits>

namespace zu {
namespace {

TEST(TableTemplate, Shapes) {
    struct Case {
        const char* name;
        int columns, rows;
        std::string open;
    };
    const Case cases[] = {
        {"two rows of three", 3, 2,
         "<table BORDER=1 BGCOLOR=#ffffff>\r\n"
         "<tr>\r\n<td>　</td>\r\n<td>　</td>\r\n<td>　</td>\r\n</tr>\r\n"
         "<tr>\r\n<td>　</td>\r\n<td>　</td>\r\n<td>　</td>\r\n</tr>\r\n"
         "</table>"},
        {"one cell", 1, 1,
         "<table BORDER=1 BGCOLOR=#ffffff>\r\n<tr>\r\n<td>　</td>\r\n</tr>\r\n</table>"},
        {"no rows", 3, 0, "<table BORDER=1 BGCOLOR=#ffffff>\r\n</table>"},
        {"negative rows", 3, -4, "<table BORDER=1 BGCOLOR=#ffffff>\r\n</table>"},
        {"rows without cells", 0, 2,
         "<table BORDER=1 BGCOLOR=#ffffff>\r\n<tr>\r\n</tr>\r\n<tr>\r\n</tr>\r\n</table>"},
        {"negative columns", -1, 2,
         "<table BORDER=1 BGCOLOR=#ffffff>\r\n<tr>\r\n</tr>\r\n<tr>\r\n</tr>\r\n</table>"},
        {"both negative", INT_MIN, INT_MIN, "<table BORDER=1 BGCOLOR=#ffffff>\r\n</table>"},
        {"no rows of the widest", INT_MAX, 0, "<table BORDER=1 BGCOLOR=#ffffff>\r\n</table>"},
        {"negative rows of the widest", INT_MAX, -1,
         "<table BORDER=1 BGCOLOR=#ffffff>\r\n</table>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tableTemplate(c.columns, c.rows), (Fragment{c.open, "\r\n"}));
    }
}

// What is not refused is built, and small: an accepted size never costs
// more than the limit's table (about 1.7 MB).
TEST(TableTemplate, RefusesMoreThanAHundredThousandCells) {
    const std::string message = "ﾃｰﾌﾞﾙが大きすぎます。行数と列数の積は 100000 以下にしてください。";
    struct Case {
        const char* name;
        int columns, rows;
        bool refused;
    };
    const Case cases[] = {
        {"the defaults", 4, 3, false},
        {"exactly the limit", 1000, 100, false},
        {"one row at the limit", 100000, 1, false},
        {"one cell over", 100001, 1, true},
        {"one row too many", 1000, 101, true},
        {"empty rows count one each", 0, 100000, false},
        {"too many empty rows", 0, 100001, true},
        {"negative columns still make rows", -5, 2000000000, true},
        {"no rows whatever the columns", INT_MAX, 0, false},
        {"negative rows", INT_MAX, INT_MIN, false},
        {"product past 32 bits", 65536, 65536, true},
        {"both at the top", INT_MAX, INT_MAX, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> refusal = tableTemplateRefusal(c.columns, c.rows);
        EXPECT_EQ(refusal, c.refused ? std::optional(message) : std::nullopt);
        if (!refusal) {
            EXPECT_LE(tableTemplate(c.columns, c.rows).open.size(), 1800000u);
        }
    }
}

} // namespace
} // namespace zu
