#include "environment/CalendarDays.h"

namespace {

// The calendar repeats every 400 years, and a year counted from March ends
// on the leap day: both keep the arithmetic free of month tables.
constexpr std::int64_t kDaysPer400Years = 146097;
// Days from 1 March of year 0 to 1 January 1970.
constexpr std::int64_t kEpochFromMarchYear0 = 719468;

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
    return (value >= 0 ? value : value - divisor + 1) / divisor;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

CalendarDate DateOfDay(std::int64_t days) {
    const std::int64_t fromMarch = days + kEpochFromMarchYear0;
    const std::int64_t era = FloorDiv(fromMarch, kDaysPer400Years);
    const std::int64_t dayOfEra = fromMarch - era * kDaysPer400Years;  // 0..146096
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;  // 0..399
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);  // 0..365
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;                                 // 0..11
    CalendarDate date;
    date.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    date.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

}  // namespace

bool IsCalendarDate(const CalendarDate& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month);
}

std::int64_t DaysSinceEpoch(const CalendarDate& date) {
    // January and February count as the last months of the year before.
    const std::int64_t year = static_cast<std::int64_t>(date.year) - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;                                       // 0..399
    const std::int64_t monthFromMarch = date.month > 2 ? date.month - 3 : date.month + 9;  // 0..11
    const std::int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + (static_cast<std::int64_t>(date.day) - 1);
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * kDaysPer400Years + dayOfEra - kEpochFromMarchYear0;
}

CalendarDate AddDays(const CalendarDate& date, std::int64_t days) { return DateOfDay(DaysSinceEpoch(date) + days); }
