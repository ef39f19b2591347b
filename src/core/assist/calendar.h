#pragma once
// The calendar: a whole page holding one month as a table, one row per day
// with its weekday and a number of empty columns for the user's entries.

#include "core/edit/fragment.h"

#include <string_view>

namespace zu {

struct CalendarInput {
    int year = 1998; // the sheet accepts 1900 to 2100
    int month = 1;   // 1 to 12
    int columns = 1; // 1 to 10
    int width = 400; // 0 to 800, the WIDTH of each column heading
};

// Whatever was selected goes between the page's "</font></body>" line and
// its closing "</html>" line.
Fragment calendarPage(const CalendarInput& input);

// Days in the month by the Gregorian rule; 0 for a month outside 1..12 or
// a year outside what std::chrono::year holds.
int daysInMonth(int year, int month);

// "Sun" to "Sat" for a valid date, empty otherwise. Worked out from the
// calendar alone, so neither the time zone nor the clock's range matters.
std::string_view weekdayName(int year, int month, int day);

} // namespace zu
