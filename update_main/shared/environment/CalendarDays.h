#pragma once
// Dates as plain day counts of the Gregorian calendar, in 64-bit arithmetic
// of our own: the C runtime's time_t is 32 bits wide in the 32-bit build and
// ends on 19 January 2038, well inside the next-check dates we must write.
#include <cstdint>

struct CalendarDate {
    int day = 0;
    int month = 0;  // 1-12
    int year = 0;
};

// A real day of the calendar with a year of one to four digits (the exchange
// file writes four at most).
bool IsCalendarDate(const CalendarDate& date);

// Days from 1 January 1970 to the date (negative before it). The day of the
// month may lie outside its month and carries into the months around it, as
// the C library's normalisation carries it; the month must be 1-12.
std::int64_t DaysSinceEpoch(const CalendarDate& date);

// The date `days` days after `date` (before it when negative).
CalendarDate AddDays(const CalendarDate& date, std::int64_t days);
