#include <gtest/gtest.h>

#include <windows.h>

#include <climits>

#include "environment/EnvironmentInfo.h"
#include "support/StateFixtures.h"

namespace {

std::tm LocalNoon(int day, int month, int year) {
    std::tm local{};
    local.tm_mday = day;
    local.tm_mon = month - 1;
    local.tm_year = year - 1900;
    local.tm_hour = 12;
    return local;
}

std::string Show(const CalendarDate& date) {
    return std::to_string(date.year) + "-" + std::to_string(date.month) + "-" + std::to_string(date.day);
}

#define EXPECT_DATE(actual, d, m, y) EXPECT_EQ(Show(actual), Show(CalendarDate{d, m, y}))

TEST(ComputeNextCheckDate, AddsTheIntervalAcrossMonthsAndYears) {
    struct Case {
        int day, month, year, interval, spread;
        int nextDay, nextMonth, nextYear;
    };
    const Case cases[] = {
        {30, 1, 2025, 3, 0, 2, 2, 2025},
        {30, 12, 2025, 3, 1, 2, 1, 2026},
        {10, 6, 2025, 7, 1, 17, 6, 2025},
        {28, 2, 2025, 1, -5, 1, 3, 2025},
        {28, 2, 2024, 1, 0, 29, 2, 2024},
        {1, 3, 2024, -1, 0, 29, 2, 2024},
        {15, 8, 2025, 0, 0, 15, 8, 2025},
    };
    for (const Case& c : cases) {
        EnvironmentInfo env;
        env.ComputeNextCheckDate(LocalNoon(c.day, c.month, c.year), c.interval, c.spread);
        EXPECT_DATE(env.next_check, c.nextDay, c.nextMonth, c.nextYear);
    }
}

TEST(ComputeNextCheckDate, AddsFewerRandomDaysThanTheSpread) {
    for (int run = 0; run < 20; ++run) {
        EnvironmentInfo env;
        env.ComputeNextCheckDate(LocalNoon(1, 3, 2025), 10, 5);
        ASSERT_EQ(env.next_check.month, 3);
        EXPECT_GE(env.next_check.day, 11);
        EXPECT_LE(env.next_check.day, 15);
    }
}

TEST(ComputeNextCheckDate, ExtremeIntervalsGiveAValidDateWithoutOverflow) {
    EnvironmentInfo env;
    env.ComputeNextCheckDate(LocalNoon(1, 1, 2025), INT_MAX, INT_MAX);
    // At most a hundred years of interval and a hundred of spread.
    EXPECT_GE(env.next_check.year, 2124);
    EXPECT_LE(env.next_check.year, 2225);
    EXPECT_GE(env.next_check.day, 1);
    EXPECT_LE(env.next_check.day, 31);
}

TEST(ComputeNextCheckDate, KeepsTheGivenDateWhenNoDateCanBeComputed) {
    EnvironmentInfo env;
    // Before 1970: mktime cannot represent it.
    env.ComputeNextCheckDate(LocalNoon(5, 5, 2025), INT_MIN, 0);
    EXPECT_DATE(env.next_check, 5, 5, 2025);

    // What ReadToday leaves when there is no local time.
    env.ComputeNextCheckDate(std::tm{}, 7, 1);
    EXPECT_DATE(env.next_check, 0, 1, 1900);
}

TEST(ReadToday, GivesTheLocalDate) {
    EnvironmentInfo env;
    std::tm local{};
    SYSTEMTIME before{};
    GetLocalTime(&before);
    EXPECT_EQ(&env.ReadToday(local), &local);
    EXPECT_DATE(env.today, before.wDay, before.wMonth, before.wYear);
    EXPECT_EQ(local.tm_mday, before.wDay);
    EXPECT_EQ(local.tm_mon + 1, before.wMonth);
}

TEST(ReadOsVersion, ReadsTheRunningWindows) {
    EnvironmentInfo env;
    ASSERT_TRUE(env.ReadOsVersion());
    EXPECT_GE(env.os.major, 5u);
}

TEST(ReadWow64, IsZeroForANativeProcess) {
#ifdef _WIN64
    EnvironmentInfo env;
    env.os.wow64 = 7;
    env.ReadWow64();
    EXPECT_EQ(env.os.wow64, 0u);
#else
    GTEST_SKIP() << "the flag of a 32-bit build depends on the Windows it runs on";
#endif
}

// Points WINDIR at a private folder for one test.
class WindowsFolderOverride {
public:
    explicit WindowsFolderOverride(const std::wstring& folder) {
        wchar_t saved[MAX_PATH] = {};
        m_had = GetEnvironmentVariableW(L"WINDIR", saved, MAX_PATH) > 0;
        m_saved = saved;
        SetEnvironmentVariableW(L"WINDIR", folder.c_str());
    }
    ~WindowsFolderOverride() { SetEnvironmentVariableW(L"WINDIR", m_had ? m_saved.c_str() : nullptr); }

private:
    bool m_had = false;
    std::wstring m_saved;
};

TEST(ReadInstalledVersion, ParsesTheFirstThreeNumbers) {
    struct Case {
        const char* fileText;  // nullptr: no client INI file
        const wchar_t* ver;
        std::uint32_t major, minor, sub_minor;
    };
    const Case cases[] = {
        {"[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\nDirectory=C:\\Velmo\\\r\n", L"6.2.1", 6, 2, 1},
        {"[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1.5\r\n", L"6.2.1.5", 6, 2, 1},
        {"[ZRVCAVelmo]\r\nZRVVelmoVersion=6\r\n", L"6", 6, 0, 0},
        {"[ZRVCAVelmo]\r\nZRVVelmoVersion=7.x3.2b\r\n", L"7.x3.2b", 7, 0, 2},
        {"[ZRVCAVelmo]\r\nZRVVelmoVersion=\r\n", L"", 0, 0, 0},
        {"[Other]\r\nZRVVelmoVersion=6.2.1\r\n", L"", 0, 0, 0},
        {nullptr, L"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        TempFolder windows;
        if (c.fileText) WriteFileBytes(windows / L"ZRVCAVelmo.ini", c.fileText);
        WindowsFolderOverride redirect(windows.path());
        EnvironmentInfo env;
        env.installed.major = 99;
        env.ReadInstalledVersion();
        EXPECT_EQ(env.installed.ver, c.ver);
        EXPECT_EQ(env.installed.major, c.major) << c.fileText;
        EXPECT_EQ(env.installed.minor, c.minor) << c.fileText;
        EXPECT_EQ(env.installed.sub_minor, c.sub_minor) << c.fileText;
    }
}

TEST(ReadInstalledVersion, ReadsTheFolderAsGiven) {
    TempFolder windows;
    WriteFileBytes(windows / L"ZRVCAVelmo.ini", "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\nDirectory=C:\\Velmo\\\r\n");
    WindowsFolderOverride redirect(windows.path());
    EnvironmentInfo env;
    env.ReadInstalledVersion();
    EXPECT_EQ(env.directory, L"C:\\Velmo\\");
}

TEST(InstallStatusLabel, NamesTheVersionOrNone) {
    EnvironmentInfo env;
    EXPECT_EQ(env.InstallStatusLabel(), L"Velmoご利用ソフト： なし");
    env.installed.ver = L"6.2.1";
    EXPECT_EQ(env.InstallStatusLabel(), L"Velmoご利用ソフト： 6.2.1");
}

}  // namespace
