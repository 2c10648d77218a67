#pragma once
// The main program's picture of the machine that the update rules are
// evaluated against, and the results that the rules and the flow put into it.
#include <windows.h>

#include <cstdint>
#include <ctime>
#include <string>

#include "environment/CalendarDays.h"

// The installed client's version (also the rule values of the client test).
struct ProductVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t sub_minor = 0;
    std::wstring ver;  // as the client's INI file gives it; empty when none
};

// The running Windows (also the rule values of the Windows tests).
struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t sp_major = 0;
    std::uint32_t sp_minor = 0;
    std::uint32_t wow64 = 0;  // 1 for a 32-bit process on 64-bit Windows
};

struct EnvironmentInfo {
    CalendarDate today;
    CalendarDate next_check;
    int probability = 0;
    int hour = 0;
    OsVersion os;
    ProductVersion installed;
    std::wstring directory;      // the client's folder as its INI file gives it
    std::wstring dURL;           // setup address of the last fired rule naming one
    int rootCertUpdate = 0;      // newer root certificates and no client update
    int auxAppUpdate = 0;        // an auxiliary-application update is due

    // Local time now, from `localTime`, into `local` and today. Taken from
    // the system's clock, never through the C runtime's time_t, which ends
    // in 2038 in the 32-bit build.
    std::tm& ReadToday(std::tm& local, void(WINAPI* localTime)(LPSYSTEMTIME) = ::GetLocalTime);
    // next_check = the day `interval_days` plus a random 0..spread_days-1
    // days after `local`'s date; the date of `local` itself when that is no
    // calendar date (a zeroed time) or the result would leave the years
    // 1-9999.
    void ComputeNextCheckDate(std::tm local, int interval_days, int spread_days);
    // Windows and service-pack version from GetVersionExW; its result.
    BOOL ReadOsVersion();
    // os.wow64 from IsWow64Process when kernel32 has it, else 0.
    void ReadWow64();
    // installed and directory from %WINDIR%\ZRVCAVelmo.ini, as the main
    // program reads them.
    void ReadInstalledVersion();
    // installed and directory from the client's INI file at `iniFile`; none
    // for an empty name.
    void ReadInstalledVersion(const std::wstring& iniFile);
    // The dialogs' version label: "Velmoご利用ソフト： " and the version or "なし".
    std::wstring InstallStatusLabel() const;
};
