#pragma once
// The one class that knows the settings file VelmoUpgradeTool.ini (read only)
// and the exchange file VelmoUpgradeData.ini, the order sheet that the main
// program writes and the secondary program reads. Both lie below the common
// application-data folder; every call builds its path anew and goes through
// the profile functions, so nothing is cached.
//
// Exchange-file rules: integers are written as "%d", flags as "1" or "0", and
// only the exact text "1" counts as set. Orders are withdrawn by writing an
// empty value (the key stays); only [Pelmarch] is ever deleted whole.
#include <windows.h>

#include <cstdint>
#include <string>

#include "environment/EnvironmentInfo.h"
#include "framework/CString.h"
#include "profile/IniProfile.h"
#include "settings/AuxAppVersionInfo.h"
#include "settings/ExchangeOrders.h"

// A key of an INI file.
struct IniKey {
    const wchar_t* section;
    const wchar_t* key;
};

// The orders that ClearCommands withdraws, in the order it blanks them.
inline constexpr IniKey WITHDRAWN_ORDERS[] = {
    {L"Command", L"dURL"}, {L"Command", L"uninst"}, {L"Command", L"uninst_all"},
    {L"Message", L"common"}, {L"Command", L"cacerts"},
};

class CUpdateDataStore {
public:
    // Below the common application-data folder as Windows gives it.
    CUpdateDataStore();
    // Below the folder that `baseFolder` gives.
    explicit CUpdateDataStore(FolderSource baseFolder);
    CUpdateDataStore(const CUpdateDataStore&) = delete;
    CUpdateDataStore& operator=(const CUpdateDataStore&) = delete;

    // Looks the base folder up again; false (ERROR_FILE_NOT_FOUND) and the
    // folder unchanged when it cannot be had.
    bool GetBaseFolder();
    // The folder of the last successful lookup; empty before one.
    const std::wstring& BaseFolder() const { return m_baseFolder; }

    // Exchange-file writers: nonzero when every key was written; each stops
    // at its first failed key, keeping what it wrote before.
    BOOL WriteNextCheckDate(int day, int month, int year);
    BOOL WriteSleep(int probability, int hour);
    BOOL WriteProductVersion(const ProductVersion& version);
    // [Command] uninst, then dURL with the address in double quotes (the
    // profile reader drops them, so an empty address reads as "").
    BOOL WriteCommand(const CString& uninstall, const CString& url);
    BOOL WriteMessage(const CString& text);
    BOOL WriteUninstallAll(const CString& text);
    BOOL WriteCacerts(int flag);
    // Withdraws the root-certificate order alone ([Command] cacerts = "").
    BOOL WithdrawCacerts();
    BOOL WriteAuxAppUpdate(const AuxAppVersionInfo& info);
    // Deletes the whole [Pelmarch] section, so an order of an earlier run
    // cannot survive a run that finds no update due.
    BOOL DeleteAuxAppUpdate();
    // The [Pelmarch] order; versions of "" and false where keys are missing.
    AuxAppVersionInfo ReadAuxAppUpdate();
    // The orders for the secondary program: values longer than 259
    // characters read as absent, numbers through GetPrivateProfileIntW.
    ExchangeOrders ReadCommands();
    // [Command] uninst_all, up to 2599 characters.
    std::wstring ReadUninstallAll();
    // Withdraws the client and certificate orders by the file's name:
    // [Command] dURL, uninst, uninst_all, [Message] common, [Command] cacerts
    // become "". [Velmo], [Day], [Sleep] and [Pelmarch] stay. Always TRUE.
    BOOL ClearCommands();

    // Settings-file readers ("" when absent).
    CString GetDatabaseUrl();
    CString GetCertsUrl();
    CString GetSubCommand();
    CString GetUpdateListUrl();
    CString GetWhiteListUrl();
    // [APP] vbs_file: the deployment's script that the secondary program runs.
    CString GetVbsFile();
    // [SERVER] Pelmarch and PelmarchMsi: the auxiliary application's setup
    // and MSI package.
    CString GetAuxAppSetupUrl();
    CString GetAuxAppMsiUrl();

private:
    // What the store's readers take of a value, terminator included.
    static constexpr DWORD kValueChars = 260;

    std::wstring SettingsPath() const;
    std::wstring ExchangePath() const;
    BOOL WriteExchange(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    BOOL WriteExchangeInt(const wchar_t* section, const wchar_t* key, int value);
    std::wstring ReadExchange(const wchar_t* section, const wchar_t* key, DWORD chars = kValueChars);
    std::uint32_t ReadExchangeNumber(const wchar_t* section, const wchar_t* key);
    CString ReadSettings(const wchar_t* section, const wchar_t* key);

    FolderSource m_findBaseFolder;
    std::wstring m_baseFolder;
};
