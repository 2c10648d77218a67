#include "EndToEndOrders.h"

#include <windows.h>

#include <sstream>

#include <gtest/gtest.h>

#include "support/StateFixtures.h"
#include "support/temp_folder.h"

namespace {

constexpr wchar_t kSetupPath[] = L"/setup/VelmoSetup_6.2.0.exe";
constexpr wchar_t kTitle[] =
    L"【お知らせ】「Velmoご利用ソフト」6.2.0を公開しました。(NL)更新内容はサポートページをご覧ください。";
constexpr wchar_t kUninstall615[] = L"/x {6B0F4A5E-3C1D-4B8E-9A2F-610500000000} /qn";
constexpr wchar_t kUninstall620[] = L"/x {6B0F4A5E-3C1D-4B8E-9A2F-620000000000} /qn";

// The line of the file that begins with `start`, as text; empty when none.
std::wstring FileLine(const std::wstring& file, const std::wstring& start) {
    std::istringstream lines(testing_support::read_bytes(file));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::wstring wide(line.begin(), line.end());
        if (wide.compare(0, start.size(), start) == 0) return wide;
    }
    return std::wstring();
}

// Days since 1601 of a local date.
long long DayNumber(const SYSTEMTIME& date) {
    SYSTEMTIME day{};
    day.wYear = date.wYear, day.wMonth = date.wMonth, day.wDay = date.wDay;
    FILETIME time{};
    SystemTimeToFileTime(&day, &time);
    return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32 | time.dwLowDateTime) /
                                  (10000000ULL * 86400));
}

int IntValue(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
    return _wtoi(RawProfileValue(file, section, key).c_str());
}

}  // namespace

Orders ExpectedOrders(const Scenario& scenario) {
    const std::wstring name = scenario.Setting(L"name");
    if (name == L"client-update") {
        const std::wstring setup = scenario.Setting(L"base_url") + kSetupPath;
        return {L"6.1.5", kUninstall615, L"dURL=\"" + setup + L"\"", L"0", ABSENT};
    }
    const bool root = name == L"root-update" || name == L"root-aux-update";
    const bool aux = name == L"aux-update" || name == L"root-aux-update";
    return {L"6.2.0", kUninstall620, L"dURL=\"\"", root ? L"1" : L"0", aux ? L"1" : ABSENT};
}

void ExpectOrders(const std::wstring& file, const Orders& orders) {
    SCOPED_TRACE(testing::PrintToString(file));
    SYSTEMTIME today{}, next{};
    GetLocalTime(&today);
    next.wYear = static_cast<WORD>(IntValue(file, L"Day", L"Year"));
    next.wMonth = static_cast<WORD>(IntValue(file, L"Day", L"Mon"));
    next.wDay = static_cast<WORD>(IntValue(file, L"Day", L"Day"));
    const long long ahead = DayNumber(next) - DayNumber(today);
    EXPECT_TRUE(ahead >= 7 && ahead <= 9) << ahead << " days ahead";
    EXPECT_EQ(RawProfileValue(file, L"Sleep", L"Probability"), L"20");
    EXPECT_EQ(RawProfileValue(file, L"Sleep", L"Hour"), L"6");
    const std::wstring version = orders.version;
    EXPECT_EQ(RawProfileValue(file, L"Velmo", L"ver"), version);
    EXPECT_EQ(RawProfileValue(file, L"Velmo", L"major") + L"." + RawProfileValue(file, L"Velmo", L"minor") + L"." +
                  RawProfileValue(file, L"Velmo", L"sub_minor"),
              version);
    EXPECT_EQ(RawProfileValue(file, L"Command", L"uninst"), orders.uninstall);
    EXPECT_EQ(FileLine(file, L"dURL="), orders.dUrlLine);
    // Every command after " ;"; the profile functions drop the first blank.
    EXPECT_EQ(RawProfileValue(file, L"Command", L"uninst_all"),
              std::wstring(L";") + kUninstall615 + L" ;" + kUninstall620);
    EXPECT_EQ(RawProfileValue(file, L"Command", L"cacerts"), orders.rootOrder);
    EXPECT_EQ(RawProfileValue(file, L"Message", L"common"), kTitle);
    EXPECT_EQ(RawProfileValue(file, L"Pelmarch", L"is_new"), orders.auxOrder);
}

void ExpectOrdersCleared(const std::wstring& file) {
    const std::pair<const wchar_t*, const wchar_t*> orders[] = {
        {L"Command", L"dURL"}, {L"Command", L"uninst"}, {L"Command", L"uninst_all"},
        {L"Message", L"common"}, {L"Command", L"cacerts"}};
    for (const auto& [section, key] : orders)
        EXPECT_EQ(RawProfileValue(file, section, key), L"") << testing::PrintToString(std::wstring(key));
}
