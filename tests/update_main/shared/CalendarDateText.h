#pragma once
// A date as year-month-day text, so that a failed comparison shows both dates.
#include <string>

#include "environment/CalendarDays.h"

inline std::string Show(const CalendarDate& date) {
    return std::to_string(date.year) + "-" + std::to_string(date.month) + "-" + std::to_string(date.day);
}
