#include "core/assist/calendar.h"

#include "support/fixed_time_zone.h"

#include <gtest/gtest.h>

#include <string>

namespace zu {
namespace {

std::size_t count(const std::string& text, const std::string& piece) {
    std::size_t found = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos;
         at = text.find(piece, at + piece.size()))
        ++found;
    return found;
}

bool contains(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

// Every day row has exactly one weekday cell, which no other line has.
std::size_t dayRows(const CalendarInput& input) {
    return count(calendarPage(input).open, "<td BGCOLOR=");
}

TEST(Calendar, WholePageForFebruary1998) {
    const Fragment page = calendarPage({1998, 2, 1, 50});
    EXPECT_EQ(page.open, "<html>\r\n"
                         "<head>\r\n"
                         "<title>Calendar by ZO2.00</title>\r\n"
                         "</head>\r\n"
                         "<body BGCOLOR=#FFFFFF><font SIZE=4>\r\n"
                         "<center><h1>1998/2</h1></center>\r\n"
                         "<hr>\r\n"
                         "<center><table BORDER=1 BGCOLOR=#ffffcc>\r\n"
                         "<tr><th>Date</th><th>Day</th><th WIDTH=50>Title</th></tr>\r\n"
                         "<tr><th>1</th><td BGCOLOR=#ffcccc>Sun</td><td>　</td></tr>\r\n"
                         "<tr><th>2</th><td BGCOLOR=#ffffff>Mon</td><td>　</td></tr>\r\n"
                         "<tr><th>3</th><td BGCOLOR=#ffffff>Tue</td><td>　</td></tr>\r\n"
                         "<tr><th>4</th><td BGCOLOR=#ffffff>Wed</td><td>　</td></tr>\r\n"
                         "<tr><th>5</th><td BGCOLOR=#ffffff>Thu</td><td>　</td></tr>\r\n"
                         "<tr><th>6</th><td BGCOLOR=#ffffff>Fri</td><td>　</td></tr>\r\n"
                         "<tr><th>7</th><td BGCOLOR=#ccccff>Sat</td><td>　</td></tr>\r\n"
                         "<tr><th>8</th><td BGCOLOR=#ffcccc>Sun</td><td>　</td></tr>\r\n"
                         "<tr><th>9</th><td BGCOLOR=#ffffff>Mon</td><td>　</td></tr>\r\n"
                         "<tr><th>10</th><td BGCOLOR=#ffffff>Tue</td><td>　</td></tr>\r\n"
                         "<tr><th>11</th><td BGCOLOR=#ffffff>Wed</td><td>　</td></tr>\r\n"
                         "<tr><th>12</th><td BGCOLOR=#ffffff>Thu</td><td>　</td></tr>\r\n"
                         "<tr><th>13</th><td BGCOLOR=#ffffff>Fri</td><td>　</td></tr>\r\n"
                         "<tr><th>14</th><td BGCOLOR=#ccccff>Sat</td><td>　</td></tr>\r\n"
                         "<tr><th>15</th><td BGCOLOR=#ffcccc>Sun</td><td>　</td></tr>\r\n"
                         "<tr><th>16</th><td BGCOLOR=#ffffff>Mon</td><td>　</td></tr>\r\n"
                         "<tr><th>17</th><td BGCOLOR=#ffffff>Tue</td><td>　</td></tr>\r\n"
                         "<tr><th>18</th><td BGCOLOR=#ffffff>Wed</td><td>　</td></tr>\r\n"
                         "<tr><th>19</th><td BGCOLOR=#ffffff>Thu</td><td>　</td></tr>\r\n"
                         "<tr><th>20</th><td BGCOLOR=#ffffff>Fri</td><td>　</td></tr>\r\n"
                         "<tr><th>21</th><td BGCOLOR=#ccccff>Sat</td><td>　</td></tr>\r\n"
                         "<tr><th>22</th><td BGCOLOR=#ffcccc>Sun</td><td>　</td></tr>\r\n"
                         "<tr><th>23</th><td BGCOLOR=#ffffff>Mon</td><td>　</td></tr>\r\n"
                         "<tr><th>24</th><td BGCOLOR=#ffffff>Tue</td><td>　</td></tr>\r\n"
                         "<tr><th>25</th><td BGCOLOR=#ffffff>Wed</td><td>　</td></tr>\r\n"
                         "<tr><th>26</th><td BGCOLOR=#ffffff>Thu</td><td>　</td></tr>\r\n"
                         "<tr><th>27</th><td BGCOLOR=#ffffff>Fri</td><td>　</td></tr>\r\n"
                         "<tr><th>28</th><td BGCOLOR=#ccccff>Sat</td><td>　</td></tr>\r\n"
                         "</table></center>\r\n"
                         "\r\n"
                         "</font></body>\r\n");
    EXPECT_EQ(page.close, "</html>\r\n");
}

TEST(Calendar, DefaultsOneColumnRowsAreSingleLines) {
    const std::string open = calendarPage({1998, 1, 1, 400}).open;
    for (const char* line : {
             "\r\n<tr><th>Date</th><th>Day</th><th WIDTH=400>Title</th></tr>\r\n",
             "\r\n<tr><th>1</th><td BGCOLOR=#ffffff>Thu</td><td>　</td></tr>\r\n",
             "\r\n<tr><th>3</th><td BGCOLOR=#ccccff>Sat</td><td>　</td></tr>\r\n",
             "\r\n<tr><th>4</th><td BGCOLOR=#ffcccc>Sun</td><td>　</td></tr>\r\n",
             "\r\n<tr><th>31</th><td BGCOLOR=#ccccff>Sat</td><td>　</td></tr>\r\n</table>",
         }) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(contains(open, line));
    }
    EXPECT_EQ(dayRows({1998, 1, 1, 400}), 31u);
}

TEST(Calendar, SeveralColumnsPutEveryCellOnItsOwnLine) {
    const std::string open = calendarPage({1998, 7, 2, 200}).open;
    for (const char* lines : {
             "\r\n<center><h1>1998/7</h1></center>\r\n",
             "\r\n<tr>\r\n<th>Date</th>\r\n<th>Day</th>\r\n<th WIDTH=200>Title</th>\r\n"
             "<th WIDTH=200>Title</th>\r\n</tr>\r\n",
             "\r\n<tr>\r\n<th>1</th>\r\n<td BGCOLOR=#ffffff>Wed</td>\r\n<td>　</td>\r\n"
             "<td>　</td>\r\n</tr>\r\n",
             "\r\n<tr>\r\n<th>4</th>\r\n<td BGCOLOR=#ccccff>Sat</td>\r\n",
             "\r\n<tr>\r\n<th>5</th>\r\n<td BGCOLOR=#ffcccc>Sun</td>\r\n",
         }) {
        SCOPED_TRACE(lines);
        EXPECT_TRUE(contains(open, lines));
    }
    EXPECT_EQ(dayRows({1998, 7, 2, 200}), 31u);
}

TEST(Calendar, DaysInTheMonthFollowTheGregorianRule) {
    struct Case {
        int year, month;
        std::size_t rows;
    };
    const Case cases[] = {
        {1998, 2, 28}, {2000, 2, 29}, {1900, 2, 28}, {2100, 2, 28},  {1996, 2, 29},
        {1998, 4, 30}, {1998, 6, 30}, {1998, 9, 30}, {1998, 11, 30}, {1998, 1, 31},
        {1998, 3, 31}, {1998, 5, 31}, {1998, 8, 31}, {1998, 10, 31}, {1998, 12, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "/" + std::to_string(c.month));
        EXPECT_EQ(dayRows({c.year, c.month, 1, 400}), c.rows);
    }
}

// The whole range the sheet accepts, before 1970 and after January 2038
// included, and whatever the machine's time zone.
TEST(Calendar, WeekdaysFromTheCalendarItself) {
    testing::FixedTimeZone zone("XYZ-14");
    struct Case {
        CalendarInput input;
        const char* row;
    };
    const Case cases[] = {
        {{1900, 1, 1, 400}, "<tr><th>1</th><td BGCOLOR=#ffffff>Mon</td>"},
        {{1970, 1, 1, 400}, "<tr><th>1</th><td BGCOLOR=#ffffff>Thu</td>"},
        {{2038, 1, 1, 400}, "<tr><th>20</th><td BGCOLOR=#ffffff>Wed</td>"},
        {{2100, 2, 1, 400}, "<tr><th>28</th><td BGCOLOR=#ffcccc>Sun</td>"},
        {{2100, 12, 1, 400}, "<tr><th>31</th><td BGCOLOR=#ffffff>Fri</td>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_TRUE(contains(calendarPage(c.input).open, c.row));
    }
    EXPECT_EQ(weekdayName(1900, 1, 1), "Mon");
    EXPECT_EQ(weekdayName(2100, 12, 31), "Fri");
    EXPECT_EQ(weekdayName(1900, 2, 29), "");
}

TEST(Calendar, WidthZero) {
    EXPECT_TRUE(contains(calendarPage({1998, 1, 1, 0}).open,
                         "<tr><th>Date</th><th>Day</th><th WIDTH=0>Title</th></tr>\r\n"));
}

} // namespace
} // namespace zu
