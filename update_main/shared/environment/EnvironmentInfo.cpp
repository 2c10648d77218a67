#include "environment/EnvironmentInfo.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "environment/VersionNumber.h"
#include "profile/IniProfile.h"

namespace {

// Further than any check interval means; keeps the day arithmetic far from
// int overflow and the date inside what mktime can represent.
constexpr int kMaxCheckDays = 36500;

CalendarDate DateOf(const std::tm& local) {
    return CalendarDate{local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

// Leading blanks and a sign accepted, digits up to the first other character.
std::uint32_t LeadingNumber(const std::wstring& text) {
    return static_cast<std::uint32_t>(std::wcstol(text.c_str(), nullptr, 10));
}

}  // namespace

std::tm& EnvironmentInfo::ReadToday(std::tm& local) {
    const std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1) || localtime_s(&local, &now) != 0) local = std::tm{};
    today = DateOf(local);
    return local;
}

void EnvironmentInfo::ComputeNextCheckDate(std::tm local, int interval_days, int spread_days) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    const int drawn = std::rand();
    const int spread = std::clamp(spread_days, 1, kMaxCheckDays);
    const int interval = std::clamp(interval_days, -kMaxCheckDays, kMaxCheckDays);
    next_check = DateOf(local);
    if (local.tm_mday < -kMaxCheckDays || local.tm_mday > kMaxCheckDays) return;
    local.tm_mday += interval + drawn % spread;
    if (std::mktime(&local) == static_cast<std::time_t>(-1)) return;
    next_check = DateOf(local);
}

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
    const std::wstring file = std::wstring(windowsFolder) + L"\\ZRVCAVelmo.ini";
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
