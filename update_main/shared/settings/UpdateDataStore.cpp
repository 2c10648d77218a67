#include "settings/UpdateDataStore.h"

#include <utility>

#include "paths/PathConstants.h"

namespace {
// What [Command] uninst_all takes, terminator included: a hundred commands.
constexpr DWORD kUninstallAllChars = 2600;
}  // namespace

CUpdateDataStore::CUpdateDataStore() : CUpdateDataStore(GetProgramDataFolder) {}

CUpdateDataStore::CUpdateDataStore(FolderSource baseFolder) : m_findBaseFolder(std::move(baseFolder)) {
    GetBaseFolder();
}

bool CUpdateDataStore::GetBaseFolder() {
    std::wstring folder = m_findBaseFolder();
    if (folder.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    m_baseFolder = std::move(folder);
    return true;
}

// Without a base folder there is no path: a bare sub-path would name a
// folder on the current drive instead.
std::wstring CUpdateDataStore::SettingsPath() const {
    return m_baseFolder.empty() ? std::wstring() : m_baseFolder + TOOL_INI_SUBPATH.c_str();
}

std::wstring CUpdateDataStore::ExchangePath() const {
    return m_baseFolder.empty() ? std::wstring() : m_baseFolder + DATA_INI_SUBPATH.c_str();
}

namespace {
BOOL NoExchangeFile() {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
}
}  // namespace

BOOL CUpdateDataStore::WriteExchange(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    const std::wstring path = ExchangePath();
    return path.empty() ? NoExchangeFile() : WritePrivateProfileStringW(section, key, value, path.c_str());
}

BOOL CUpdateDataStore::WriteExchangeInt(const wchar_t* section, const wchar_t* key, int value) {
    const std::wstring path = ExchangePath();
    return path.empty() ? NoExchangeFile() : WriteIniInt(section, key, value, path);
}

std::wstring CUpdateDataStore::ReadExchange(const wchar_t* section, const wchar_t* key, DWORD chars) {
    const std::wstring path = ExchangePath();
    return path.empty() ? std::wstring() : ReadProfileString(path, section, key, L"", chars);
}

std::uint32_t CUpdateDataStore::ReadExchangeNumber(const wchar_t* section, const wchar_t* key) {
    const std::wstring path = ExchangePath();
    return path.empty() ? 0 : GetPrivateProfileIntW(section, key, 0, path.c_str());
}

CString CUpdateDataStore::ReadSettings(const wchar_t* section, const wchar_t* key) {
    const std::wstring path = SettingsPath();
    return path.empty() ? CString() : CString(ReadProfileString(path, section, key, L"", kValueChars));
}

BOOL CUpdateDataStore::WriteNextCheckDate(int day, int month, int year) {
    return WriteExchangeInt(L"Day", L"Day", day) && WriteExchangeInt(L"Day", L"Mon", month) &&
           WriteExchangeInt(L"Day", L"Year", year);
}

BOOL CUpdateDataStore::WriteSleep(int probability, int hour) {
    return WriteExchangeInt(L"Sleep", L"Probability", probability) && WriteExchangeInt(L"Sleep", L"Hour", hour);
}

BOOL CUpdateDataStore::WriteProductVersion(const ProductVersion& version) {
    // The numbers go out as "%d", as the secondary program reads them back.
    return WriteExchangeInt(L"Velmo", L"major", static_cast<int>(version.major)) &&
           WriteExchangeInt(L"Velmo", L"minor", static_cast<int>(version.minor)) &&
           WriteExchangeInt(L"Velmo", L"sub_minor", static_cast<int>(version.sub_minor)) &&
           WriteExchange(L"Velmo", L"ver", version.ver.c_str());
}

BOOL CUpdateDataStore::WriteCommand(const CString& uninstall, const CString& url) {
    return WriteExchange(L"Command", L"uninst", uninstall) &&
           WriteExchange(L"Command", L"dURL", L"\"" + url + L"\"");
}

BOOL CUpdateDataStore::WriteMessage(const CString& text) { return WriteExchange(L"Message", L"common", text); }

BOOL CUpdateDataStore::WriteUninstallAll(const CString& text) {
    return WriteExchange(L"Command", L"uninst_all", text);
}

BOOL CUpdateDataStore::WriteCacerts(int flag) { return WriteExchange(L"Command", L"cacerts", flag ? L"1" : L"0"); }

BOOL CUpdateDataStore::WithdrawCacerts() { return WriteExchange(L"Command", L"cacerts", L""); }

BOOL CUpdateDataStore::WriteAuxAppUpdate(const AuxAppVersionInfo& info) {
    return WriteExchange(L"Pelmarch", L"new_ver", info.required.text().c_str()) &&
           WriteExchange(L"Pelmarch", L"current_ver", info.installed.text().c_str()) &&
           WriteExchangeInt(L"Pelmarch", L"is_new", info.needs_update ? 1 : 0);
}

BOOL CUpdateDataStore::DeleteAuxAppUpdate() { return WriteExchange(L"Pelmarch", nullptr, nullptr); }

AuxAppVersionInfo CUpdateDataStore::ReadAuxAppUpdate() {
    AuxAppVersionInfo info;
    info.required = VersionNumber(ReadExchange(L"Pelmarch", L"new_ver"));
    info.installed = VersionNumber(ReadExchange(L"Pelmarch", L"current_ver"));
    info.needs_update = ReadExchange(L"Pelmarch", L"is_new") == L"1";
    return info;
}

ExchangeOrders CUpdateDataStore::ReadCommands() {
    ExchangeOrders orders;
    orders.installed.major = ReadExchangeNumber(L"Velmo", L"major");
    orders.installed.minor = ReadExchangeNumber(L"Velmo", L"minor");
    orders.installed.sub_minor = ReadExchangeNumber(L"Velmo", L"sub_minor");
    orders.installed.ver = ReadExchange(L"Velmo", L"ver");
    orders.uninst = ReadExchange(L"Command", L"uninst");
    orders.dURL = ReadExchange(L"Command", L"dURL");
    orders.common = ReadExchange(L"Message", L"common");
    orders.cacerts = ReadExchange(L"Command", L"cacerts") == L"1";
    return orders;
}

std::wstring CUpdateDataStore::ReadUninstallAll() {
    return ReadExchange(L"Command", L"uninst_all", kUninstallAllChars);
}

BOOL CUpdateDataStore::ClearCommands() {
    for (const IniKey& order : WITHDRAWN_ORDERS) WriteExchange(order.section, order.key, L"");
    return TRUE;
}

CString CUpdateDataStore::GetDatabaseUrl() { return ReadSettings(L"SERVER", L"database"); }

CString CUpdateDataStore::GetCertsUrl() { return ReadSettings(L"SERVER", L"certs"); }

CString CUpdateDataStore::GetSubCommand() { return ReadSettings(L"APP", L"SubCommand"); }

CString CUpdateDataStore::GetUpdateListUrl() { return CString(ReadServerValue(SettingsPath(), L"UpdateList")); }

CString CUpdateDataStore::GetWhiteListUrl() { return CString(ReadServerValue(SettingsPath(), L"ObWhiteList")); }

CString CUpdateDataStore::GetVbsFile() { return ReadSettings(L"APP", L"vbs_file"); }

CString CUpdateDataStore::GetAuxAppSetupUrl() { return CString(ReadServerValue(SettingsPath(), L"Pelmarch")); }

CString CUpdateDataStore::GetAuxAppMsiUrl() { return CString(ReadServerValue(SettingsPath(), L"PelmarchMsi")); }
