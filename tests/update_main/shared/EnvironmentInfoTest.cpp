#include <gtest/gtest.h>

#include <windows.h>

#include <climits>

#include "CalendarDateText.h"
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

// The 32-bit build's time_t ends on 19 January 2038: none of these dates
// may depend on it.
TEST(ComputeNextCheckDate, WorksAcross2038AndAHundredYearsEitherWay) {
    struct Case {
        int day, month, year, interval;
        int nextDay, nextMonth, nextYear;
    };
    const Case cases[] = {
        {1, 1, 1970, 0, 1, 1, 1970},
        {31, 12, 2037, 1, 1, 1, 2038},
        {18, 1, 2038, 1, 19, 1, 2038},
        {19, 1, 2038, 1, 20, 1, 2038},
        {10, 6, 2030, 3000, 27, 8, 2038},
        {28, 2, 2100, 1, 1, 3, 2100},
        {28, 2, 2000, 1, 29, 2, 2000},
        {29, 2, 2024, 365, 28, 2, 2025},
        {1, 1, 2025, 36500, 8, 12, 2124},
        {1, 1, 2025, -36500, 26, 1, 1925},
        {1, 1, 2025, INT_MIN, 26, 1, 1925},  // held to a hundred years
        {8, 12, 2124, -36500, 1, 1, 2025},
    };
    for (const Case& c : cases) {
        EnvironmentInfo env;
        env.ComputeNextCheckDate(LocalNoon(c.day, c.month, c.year), c.interval, 1);
        EXPECT_DATE(env.next_check, c.nextDay, c.nextMonth, c.nextYear)
            << c.day << "." << c.month << "." << c.year << " + " << c.interval;
    }
}

TEST(ComputeNextCheckDate, KeepsTheGivenDateWhenNoDateCanBeComputed) {
    EnvironmentInfo env;
    // The exchange file holds a four-digit year.
    env.ComputeNextCheckDate(LocalNoon(31, 12, 9999), 1, 0);
    EXPECT_DATE(env.next_check, 31, 12, 9999);

    // A zeroed local time is no date.
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

void WINAPI LeapDayOf2040(LPSYSTEMTIME time) {
    *time = SYSTEMTIME{2040, 2, 3, 29, 23, 59, 58, 0};
}

TEST(ReadToday, GivesDatesPast2038) {
    EnvironmentInfo env;
    std::tm local{};
    env.ReadToday(local, LeapDayOf2040);
    EXPECT_DATE(env.today, 29, 2, 2040);
    EXPECT_EQ(local.tm_year, 140);
    EXPECT_EQ(local.tm_mon, 1);
    EXPECT_EQ(local.tm_mday, 29);
    EXPECT_EQ(local.tm_yday, 59);
    EXPECT_EQ(local.tm_wday, 3);
    EXPECT_EQ(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec, 86398);

    env.ComputeNextCheckDate(local, 1, 1);
    EXPECT_DATE(env.next_check, 1, 3, 2040);
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
    GTEST_SKIP() << "only the x86_64 build runs natively on a 64-bit Windows; "
                    "this i686 build runs under WOW64 there";
#endif
}

// The tests' prefix is a 64-bit Wine, as most PCs are 64-bit Windows: the
// i686 build, the product, runs there under WOW64.
TEST(ReadWow64, IsOneForA32BitProcessOnA64BitWindows) {
#ifdef _WIN64
    GTEST_SKIP() << "only the i686 build runs under WOW64; this x86_64 build is native";
#else
    SYSTEM_INFO native{};
    GetNativeSystemInfo(&native);
    if (native.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL)
        GTEST_SKIP() << "a 32-bit Windows has no WOW64; the i686 build shows the case on a 64-bit one";
    EnvironmentInfo env;
    env.ReadWow64();
    EXPECT_EQ(env.os.wow64, 1u);
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

// The secondary program names the file itself: WINDIR, which a user's
// profile can set, plays no part; an empty name reads nothing.
TEST(ReadInstalledVersion, FromTheNamedFileOnly) {
    TempFolder windows, decoy;
    WriteFileBytes(windows / L"ZRVCAVelmo.ini", "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\nDirectory=C:\\Velmo\r\n");
    WriteFileBytes(decoy / L"ZRVCAVelmo.ini", "[ZRVCAVelmo]\r\nZRVVelmoVersion=9.9.9\r\nDirectory=C:\\Decoy\r\n");
    WindowsFolderOverride redirect(decoy.path());
    const struct {
        std::wstring file;
        const wchar_t* ver;
        const wchar_t* directory;
    } cases[] = {{windows / L"ZRVCAVelmo.ini", L"6.2.1", L"C:\\Velmo"}, {L"", L"", L""}};
    for (const auto& c : cases) {
        EnvironmentInfo env;
        env.installed = {7, 0, 0, L"7.0.0"};
        env.ReadInstalledVersion(c.file);
        EXPECT_EQ(env.installed.ver, c.ver) << testing::PrintToString(c.file);
        EXPECT_EQ(env.directory, c.directory) << testing::PrintToString(c.file);
    }
}

TEST(InstallStatusLabel, NamesTheVersionOrNone) {
    EnvironmentInfo env;
    EXPECT_EQ(env.InstallStatusLabel(), L"Velmoご利用ソフト： なし");
    env.installed.ver = L"6.2.1";
    EXPECT_EQ(env.InstallStatusLabel(), L"Velmoご利用ソフト： 6.2.1");
}

}  // namespace
