#include <gtest/gtest.h>

#include <string>

#include "CalendarDateText.h"
#include "environment/CalendarDays.h"

namespace {

// Day numbers as Python's datetime counts them from 1970-01-01; 2038-01-19
// is the last day a 32-bit time_t reaches.
TEST(DaysSinceEpoch, CountsFrom1970PastTheEndOf32BitTime) {
    struct Case {
        CalendarDate date;
        long long days;
    };
    const Case cases[] = {
        {{1, 1, 1970}, 0},
        {{31, 12, 1969}, -1},
        {{31, 12, 2037}, 24836},
        {{19, 1, 2038}, 24855},
        {{20, 1, 2038}, 24856},
        {{29, 2, 2000}, 11016},
        {{29, 2, 2024}, 19782},
        {{1, 3, 2100}, 47541},
        {{31, 12, 2124}, 56612},
        {{1, 1, 1}, -719162},
        {{31, 12, 9999}, 2932896},
        // A day outside its month carries over, as the C library's
        // normalisation carries it.
        {{0, 3, 2024}, 19782},
        {{32, 1, 1970}, 31},
    };
    for (const Case& c : cases) EXPECT_EQ(DaysSinceEpoch(c.date), c.days) << Show(c.date);
}

TEST(AddDays, CarriesAcrossMonthsYearsLeapDaysAnd2038) {
    struct Case {
        CalendarDate from;
        long long days;
        CalendarDate to;
    };
    const Case cases[] = {
        {{31, 12, 1969}, 1, {1, 1, 1970}},
        {{1, 1, 1970}, -1, {31, 12, 1969}},
        {{31, 12, 2037}, 1, {1, 1, 2038}},
        {{19, 1, 2038}, 1, {20, 1, 2038}},
        {{28, 2, 2024}, 1, {29, 2, 2024}},
        {{29, 2, 2024}, 1, {1, 3, 2024}},
        {{28, 2, 2100}, 1, {1, 3, 2100}},  // 2100 is no leap year
        {{28, 2, 2000}, 1, {29, 2, 2000}},  // 2000 is one
        {{1, 3, 2000}, -1, {29, 2, 2000}},
        {{1, 1, 2025}, 36500, {8, 12, 2124}},
        {{1, 1, 2025}, -36500, {26, 1, 1925}},
        {{19, 1, 2038}, 36500, {26, 12, 2137}},
        {{8, 12, 2124}, -36500, {1, 1, 2025}},
        {{0, 3, 2100}, 0, {28, 2, 2100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(AddDays(c.from, c.days)), Show(c.to)) << Show(c.from) << " + " << c.days;
}

TEST(IsCalendarDate, TakesRealDaysOfFourDigitYears) {
    struct Case {
        CalendarDate date;
        bool real;
    };
    const Case cases[] = {
        {{29, 2, 2024}, true},  {{29, 2, 2000}, true},  {{29, 2, 2100}, false}, {{30, 2, 2024}, false},
        {{31, 4, 2025}, false}, {{31, 12, 2038}, true}, {{1, 13, 2025}, false}, {{1, 0, 2025}, false},
        {{0, 1, 1900}, false},  {{1, 1, 1}, true},      {{31, 12, 9999}, true}, {{1, 1, 10000}, false},
        {{1, 1, 0}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsCalendarDate(c.date), c.real) << Show(c.date);
}

}  // namespace
