#include "environment/EnvironmentInfo.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "environment/VersionNumber.h"
#include "profile/IniProfile.h"

namespace {

// Further than any check interval means; keeps the day arithmetic far from
// int overflow.
constexpr int kMaxCheckDays = 36500;

CalendarDate DateOf(const std::tm& local) {
    return CalendarDate{local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

// Leading blanks and a sign accepted, digits up to the first other character.
std::uint32_t LeadingNumber(const std::wstring& text) {
    return static_cast<std::uint32_t>(std::wcstol(text.c_str(), nullptr, 10));
}

// Whole seconds since 1970 from the system's 64-bit clock: the seed must
// keep changing after 2038, or every PC would draw the same spread.
unsigned SecondsNow() {
    constexpr std::uint64_t kTicksPerSecond = 10000000;     // FILETIME counts 100 ns
    constexpr std::uint64_t kSeconds1601To1970 = 11644473600;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<unsigned>(ticks / kTicksPerSecond - kSeconds1601To1970);
}

}  // namespace

std::tm& EnvironmentInfo::ReadToday(std::tm& local, void(WINAPI* localTime)(LPSYSTEMTIME)) {
    SYSTEMTIME now{};
    localTime(&now);
    const CalendarDate date{now.wDay, now.wMonth, now.wYear};
    local = std::tm{};
    local.tm_year = date.year - 1900;
    local.tm_mon = date.month - 1;
    local.tm_mday = date.day;
    local.tm_hour = now.wHour;
    local.tm_min = now.wMinute;
    local.tm_sec = now.wSecond;
    local.tm_wday = now.wDayOfWeek;
    local.tm_yday = static_cast<int>(DaysSinceEpoch(date) - DaysSinceEpoch(CalendarDate{1, 1, date.year}));
    local.tm_isdst = -1;  // the system's clock does not say
    today = date;
    return local;
}

void EnvironmentInfo::ComputeNextCheckDate(std::tm local, int interval_days, int spread_days) {
    std::srand(SecondsNow());
    const int drawn = std::rand();
    const int spread = std::clamp(spread_days, 1, kMaxCheckDays);
    const int interval = std::clamp(interval_days, -kMaxCheckDays, kMaxCheckDays);
    next_check = DateOf(local);
    if (!IsCalendarDate(next_check)) return;
    const CalendarDate next = AddDays(next_check, interval + drawn % spread);
    if (IsCalendarDate(next)) next_check = next;
}

// GetVersionExW tells the structures apart by this size alone.
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "the extended version information is 284 bytes");

BOOL EnvironmentInfo::ReadOsVersion() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    const BOOL read = GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
    os.major = info.dwMajorVersion;
    os.minor = info.dwMinorVersion;
    os.sp_major = info.wServicePackMajor;
    os.sp_minor = info.wServicePackMinor;
    return read;
}

void EnvironmentInfo::ReadWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    os.wow64 = 0;
    // Looked up at run time: Windows without WOW64 does not export it.
    const HMODULE kernel = GetModuleHandleW(L"kernel32");
    if (!kernel) return;
    const auto isWow64Process =
        reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    BOOL underWow64 = FALSE;
    if (isWow64Process && isWow64Process(GetCurrentProcess(), &underWow64)) os.wow64 = underWow64 ? 1 : 0;
}

void EnvironmentInfo::ReadInstalledVersion() {
    wchar_t windowsFolder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"WINDIR", windowsFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) windowsFolder[0] = L'\0';
    ReadInstalledVersion(std::wstring(windowsFolder) + L"\\ZRVCAVelmo.ini");
}

void EnvironmentInfo::ReadInstalledVersion(const std::wstring& file) {
    // An empty name would have the profile functions read win.ini instead.
    if (file.empty()) {
        installed = ProductVersion();
        directory.clear();
        return;
    }
    installed.ver = ReadProfileString(file, L"ZRVCAVelmo", L"ZRVVelmoVersion", L"", MAX_PATH);
    directory = ReadProfileString(file, L"ZRVCAVelmo", L"Directory", L"", MAX_PATH);

    std::wstring majorText, minorText, rest, subMinorText;
    SplitAtFirst(installed.ver, L'.', majorText, rest);
    SplitAtFirst(rest, L'.', minorText, subMinorText);
    installed.major = LeadingNumber(majorText);
    installed.minor = LeadingNumber(minorText);
    installed.sub_minor = LeadingNumber(subMinorText);
}

std::wstring EnvironmentInfo::InstallStatusLabel() const {
    const std::wstring version = installed.ver.empty() ? std::wstring(L"なし") : installed.ver;
    return L"Velmoご利用ソフト： " + version;
}
