#include "core/assist/calendar.h"

#include <chrono>
#include <string>

namespace zu {

namespace {

std::chrono::year_month_day dateOf(int year, int month, int day) {
    return std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
           std::chrono::day{static_cast<unsigned>(day)};
}

std::string_view weekdayCellOpening(std::string_view weekday) {
    if (weekday == "Sat")
        return "<td BGCOLOR=#ccccff>";
    if (weekday == "Sun")
        return "<td BGCOLOR=#ffcccc>";
    return "<td BGCOLOR=#ffffff>";
}

} // namespace

int daysInMonth(int year, int month) {
    if (month < 1 || month > 12 || !std::chrono::year{year}.ok())
        return 0;
    // Gregorian: 1900 and 2100 are not leap years, 2000 is.
    const std::chrono::year_month_day_last last{std::chrono::year{year} /
                                                std::chrono::month{static_cast<unsigned>(month)} /
                                                std::chrono::last};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

std::string_view weekdayName(int year, int month, int day) {
    static constexpr std::string_view kNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return {};
    const std::chrono::year_month_day date = dateOf(year, month, day);
    if (!date.ok())
        return {};
    return kNames[std::chrono::weekday{std::chrono::sys_days{date}}.c_encoding()];
}

Fragment calendarPage(const CalendarInput& input) {
    // With one column a row fits on one line; with more, every cell gets a
    // line of its own so that the user can find the column to fill in.
    const std::string_view s = input.columns == 1 ? "" : "\r\n";
    const std::string width = std::to_string(input.width);

    std::string open;
    open += "<html>\r\n<head>\r\n<title>Calendar by ZO2.00</title>\r\n</head>\r\n";
    open += "<body BGCOLOR=#FFFFFF><font SIZE=4>\r\n";
    open += "<center><h1>" + std::to_string(input.year) + "/" + std::to_string(input.month) +
            "</h1></center>\r\n<hr>\r\n";
    open += "<center><table BORDER=1 BGCOLOR=#ffffcc>\r\n";

    open += "<tr>";
    open += s;
    open += "<th>Date</th>";
    open += s;
    open += "<th>Day</th>";
    open += s;
    for (int column = 0; column < input.columns; ++column) {
        open += "<th WIDTH=" + width + ">Title</th>";
        open += s;
    }
    open += "</tr>\r\n";

    const int days = daysInMonth(input.year, input.month);
    for (int day = 1; day <= days; ++day) {
        const std::string_view weekday = weekdayName(input.year, input.month, day);
        open += "<tr>";
        open += s;
        open += "<th>" + std::to_string(day) + "</th>";
        open += s;
        open += weekdayCellOpening(weekday);
        open += weekday;
        open += "</td>";
        open += s;
        for (int column = 0; column < input.columns; ++column) {
            // A full-width space keeps the empty cell's border in a browser.
            open += "<td>　</td>";
            open += s;
        }
        open += "</tr>\r\n";
    }

    open += "</table></center>\r\n\r\n";
    open += "</font></body>\r\n";
    return {std::move(open), "</html>\r\n"};
}

} // namespace zu
