#pragma once
// The local servers that the test harness starts for the download tests
// (scripts/servers/test-servers.py), and scopes that point the Wine prefix's
// system settings at them for one test.
#include <windows.h>

#include <string>
#include <vector>

#include "win/handle.h"

namespace net_testing {

struct NetServers {
    int http = 0;
    int proxy = 0;
    int faults = 0;
    int httpsGood = 0;
    int httpsWrongHost = 0;
    int httpsExpired = 0;
    std::wstring proxyUser;
    std::wstring proxyPassword;
    std::wstring www;  // web root of the plain server, as a Windows path
    std::wstring ca;   // the test CA (DER)
    std::vector<std::wstring> files;  // files of the web root

    // Read once from the file that VUT_SERVERS names.
    static const NetServers& Get();
    static std::wstring Url(const wchar_t* scheme, int port, const std::wstring& path);
    std::wstring HttpUrl(const std::wstring& path) const { return Url(L"http", http, path); }
    std::wstring FaultUrl(const std::wstring& path) const { return Url(L"http", faults, path); }
    std::wstring WwwFile(const std::wstring& name) const { return www + L"\\" + name; }
};

// The body of a GET straight to the server, past any system proxy; empty
// when it fails.
std::string DirectGet(const std::wstring& url);
// How many requests the fault server has had for `path` ("/proxy": as a proxy).
int FaultRequestCount(const std::wstring& path);
// "/run/TAG" for the fault server, which counts the requests of each tag
// apart for as long as it runs: TAG is `name` after the process id and a
// nonce drawn once per test program, as Wine gives a new process the id of
// one that has ended.
std::wstring RunTag(const std::wstring& name);

// How many WinINet handles this process holds open; -1 where the count cannot
// be taken. Wine numbers the handles 1, 2, 3... and a number names an open
// handle only while a query on it finds one; Windows' handle values are not
// small numbers, so there the count is not taken.
int OpenInternetHandles();

// Makes the local proxy the system proxy of the prefix (also for loopback)
// and puts the previous settings back when it goes. The previous settings are
// kept in the registry meanwhile, so that a test program that died under a
// scope does not leave the shared prefix with a dead proxy: the next scope
// puts them back first. One scope at a time.
class SystemProxyScope {
public:
    explicit SystemProxyScope(int port);
    ~SystemProxyScope();
    SystemProxyScope(const SystemProxyScope&) = delete;
    SystemProxyScope& operator=(const SystemProxyScope&) = delete;

private:
    win::RegKey m_settings;
};

// Trusts the test CA in the prefix's LocalMachine "Root" store while it lives.
class TrustedTestCa {
public:
    TrustedTestCa();
    ~TrustedTestCa();
    TrustedTestCa(const TrustedTestCa&) = delete;
    TrustedTestCa& operator=(const TrustedTestCa&) = delete;
    bool added() const { return m_added; }

private:
    std::string m_der;
    bool m_added = false;
};

}  // namespace net_testing
