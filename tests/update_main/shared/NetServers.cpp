#include "NetServers.h"

#include "support/ProgramRun.h"
#include "support/StateFixtures.h"
#include "support/temp_folder.h"

#include <wincrypt.h>
#include <wininet.h>

#include <cstdlib>
#include <random>
#include <sstream>

namespace net_testing {
namespace {

constexpr wchar_t kInternetSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

std::wstring IniText(const std::wstring& file, const wchar_t* key) { return RawProfileValue(file, L"servers", key, L""); }

void NotifySettingsChanged() {
    InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
}

}  // namespace

const NetServers& NetServers::Get() {
    static const NetServers servers = [] {
        NetServers s;
        const char* file = std::getenv("VUT_SERVERS");
        if (!file) return s;
        const std::wstring ini = testing_support::BuildTreePath(file);
        auto port = [&](const wchar_t* key) { return static_cast<int>(GetPrivateProfileIntW(L"servers", key, 0, ini.c_str())); };
        s.http = port(L"http");
        s.proxy = port(L"proxy");
        s.faults = port(L"faults");
        s.httpsGood = port(L"https_good");
        s.httpsWrongHost = port(L"https_wrong_host");
        s.httpsExpired = port(L"https_expired");
        s.proxyUser = IniText(ini, L"proxy_user");
        s.proxyPassword = IniText(ini, L"proxy_password");
        s.www = IniText(ini, L"www");
        s.ca = IniText(ini, L"ca");
        std::wstringstream names(IniText(ini, L"files"));
        for (std::wstring name; std::getline(names, name, L',');) s.files.push_back(name);
        return s;
    }();
    return servers;
}

std::wstring NetServers::Url(const wchar_t* scheme, int port, const std::wstring& path) {
    return std::wstring(scheme) + L"://127.0.0.1:" + std::to_wstring(port) + path;
}

std::string DirectGet(const std::wstring& url) {
    std::string body;
    const HINTERNET session = InternetOpenW(L"net-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const HINTERNET request =
        session ? InternetOpenUrlW(session, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0) : nullptr;
    char buffer[4096];
    DWORD read = 0;
    while (request && InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) body.append(buffer, read);
    if (request) InternetCloseHandle(request);
    if (session) InternetCloseHandle(session);
    return body;
}

int FaultRequestCount(const std::wstring& path) {
    return atoi(DirectGet(NetServers::Get().FaultUrl(L"/count" + path)).c_str());
}

std::wstring RunTag(const std::wstring& name) {
    static const unsigned nonce = std::random_device()();
    return L"/run/" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(nonce) + L"-" + name;
}

int OpenInternetHandles() {
    constexpr UINT_PTR kHighestCounted = 4096;
    const HINTERNET probe = InternetOpenW(L"net-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!probe) return -1;
    const auto probeNumber = reinterpret_cast<UINT_PTR>(probe);
    int open = 0;
    for (UINT_PTR number = 1; probeNumber < kHighestCounted && number <= kHighestCounted; ++number) {
        DWORD type = 0, size = sizeof type;
        if (number != probeNumber &&
            (InternetQueryOptionW(reinterpret_cast<HINTERNET>(number), INTERNET_OPTION_HANDLE_TYPE, &type, &size) ||
             GetLastError() != ERROR_INVALID_HANDLE))
            ++open;
    }
    InternetCloseHandle(probe);
    return probeNumber < kHighestCounted ? open : -1;
}

namespace {

constexpr wchar_t kBackup[] = L"Software\\VelmoNetTests\\SavedProxySettings";
const wchar_t* const kProxyValues[] = {L"ProxyEnable", L"ProxyServer", L"ProxyOverride"};

// Copies the proxy values from one key to another; values missing in the
// source are deleted in the target.
void CopyProxyValues(HKEY from, HKEY to) {
    for (const wchar_t* name : kProxyValues) {
        BYTE data[4096];
        DWORD size = sizeof data, type = REG_NONE;
        if (RegQueryValueExW(from, name, nullptr, &type, data, &size) == ERROR_SUCCESS)
            RegSetValueExW(to, name, 0, type, data, size);
        else
            RegDeleteValueW(to, name);
    }
}

// Puts the saved settings back, if a backup exists, and drops the backup.
void RestoreFromBackup(HKEY settings) {
    win::RegKey saved;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kBackup, 0, KEY_READ, saved.put()) != ERROR_SUCCESS) return;
    CopyProxyValues(saved.get(), settings);
    saved.reset();
    RegDeleteKeyW(HKEY_CURRENT_USER, kBackup);
}

}  // namespace

SystemProxyScope::SystemProxyScope(int port) {
    RegCreateKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                    m_settings.put(), nullptr);
    // A backup left by a test program that died goes back first.
    RestoreFromBackup(m_settings.get());
    win::RegKey backup;
    RegCreateKeyExW(HKEY_CURRENT_USER, kBackup, 0, nullptr, 0, KEY_WRITE, nullptr, backup.put(), nullptr);
    CopyProxyValues(m_settings.get(), backup.get());
    const DWORD enable = 1;
    const std::wstring server = L"127.0.0.1:" + std::to_wstring(port);
    RegSetValueExW(m_settings.get(), L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable), sizeof enable);
    RegSetValueExW(m_settings.get(), L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                   static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t)));
    RegSetValueExW(m_settings.get(), L"ProxyOverride", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
    NotifySettingsChanged();
}

SystemProxyScope::~SystemProxyScope() {
    RestoreFromBackup(m_settings.get());
    NotifySettingsChanged();
}

TrustedTestCa::TrustedTestCa() : m_der(testing_support::read_bytes(NetServers::Get().ca)) {
    win::CertStore root(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
    m_added = root && !m_der.empty() &&
              CertAddEncodedCertificateToStore(root.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(m_der.data()),
                                               static_cast<DWORD>(m_der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
}

TrustedTestCa::~TrustedTestCa() {
    if (!m_added) return;
    win::CertStore root(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
    win::CertContext added(CertCreateCertificateContext(
        X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(m_der.data()), static_cast<DWORD>(m_der.size())));
    if (!root || !added) return;
    // CertDeleteCertificateFromStore frees the context it is given.
    if (PCCERT_CONTEXT stored = CertFindCertificateInStore(root.get(), X509_ASN_ENCODING, 0, CERT_FIND_EXISTING,
                                                           added.get(), nullptr))
        CertDeleteCertificateFromStore(stored);
}

}  // namespace net_testing
