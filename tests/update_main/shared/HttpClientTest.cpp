#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "MainProgramScope.h"
#include "NetServers.h"
#include "download/HttpClient.h"
#include "download/InternetHandle.h"
#include "process/ProcessFlags.h"
#include "support/WindowDriver.h"
#include "support/temp_folder.h"

using namespace net_testing;

namespace {

const NetServers& Servers() { return NetServers::Get(); }

// A client of a silent run, as the progress dialog sets it up.
struct Fetch {
    explicit Fetch(const std::wstring& url, bool silent = true, HWND owner = nullptr) {
        client.m_userAgent = L"ZRVVelmoUpgradeTool_Main";
        client.m_silent = silent;
        client.m_ownerWindow = owner;
        client.m_url = url.c_str();
        result = client.SendRequest();
    }
    std::string Body() {
        std::string body;
        char buffer[4096];
        DWORD read = 0;
        while (InternetReadFile(client.Request(), buffer, sizeof buffer, &read) && read > 0) body.append(buffer, read);
        return body;
    }
    CHttpClient client;
    int result;
};

struct Expected {
    const char* name;
    std::wstring url;
    int result;
};

class SendRequestResult : public testing::TestWithParam<Expected> {};

TEST_P(SendRequestResult, IsTheStatusOrErrorOfTheFailingStep) {
    TrustedTestCa ca;
    ASSERT_TRUE(ca.added());
    Fetch fetch(GetParam().url);
    EXPECT_EQ(fetch.result, GetParam().result);
}

// Built when the tests run, once the servers' ports are known.
std::vector<Expected> Cases() {
    const NetServers& s = Servers();
    return {
        {"Ok", s.HttpUrl(L"/first.txt"), 0},
        {"NotFound", s.HttpUrl(L"/missing.txt"), 404},
        {"ServerError", s.FaultUrl(L"/status/500"), 500},
        {"Forbidden", s.FaultUrl(L"/status/403"), 403},
        // A "200" without Content-Length fails with the error of that query.
        {"NoContentLength", s.FaultUrl(L"/nolength"), ERROR_HTTP_HEADER_NOT_FOUND},
        {"NothingListens", NetServers::Url(L"http", 1, L"/x"), ERROR_INTERNET_CANNOT_CONNECT},
        {"NotAUrl", L"no url at all", ERROR_INTERNET_UNRECOGNIZED_SCHEME},
        {"HttpsTrusted", NetServers::Url(L"https", s.httpsGood, L"/first.txt"), 0},
        // Silent runs settle no certificate error: host name and dates count.
        {"HttpsWrongHostName", NetServers::Url(L"https", s.httpsWrongHost, L"/first.txt"),
         ERROR_INTERNET_SEC_CERT_CN_INVALID},
        {"HttpsExpired", NetServers::Url(L"https", s.httpsExpired, L"/first.txt"), ERROR_INTERNET_SEC_CERT_DATE_INVALID},
    };
}

INSTANTIATE_TEST_SUITE_P(Servers, SendRequestResult, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<Expected>& info) { return std::string(info.param.name); });

}  // namespace

TEST(HttpClient, LeavesTheBodyAndItsLengthForTheCaller) {
    Fetch fetch(Servers().HttpUrl(L"/second.bin"));
    ASSERT_EQ(fetch.result, 0);
    EXPECT_EQ(fetch.client.ContentLength(), 100u * 1024 + 7);
    EXPECT_EQ(fetch.Body(), testing_support::read_bytes(Servers().WwwFile(L"second.bin")));
}

TEST(HttpClient, SendsTheRequestThatTheServerExpects) {
    Fetch fetch(Servers().FaultUrl(L"/echo"));
    ASSERT_EQ(fetch.result, 0);
    const std::string echo = fetch.Body();
    const std::string base = "http://127.0.0.1:" + std::to_string(Servers().faults) + "/";
    EXPECT_EQ(echo.rfind("GET /echo HTTP/1.1\r\n", 0), 0u) << echo;
    EXPECT_NE(echo.find("User-Agent: ZRVVelmoUpgradeTool_Main\n"), std::string::npos) << echo;
    EXPECT_NE(echo.find("Accept: */*\n"), std::string::npos) << echo;
    EXPECT_NE(echo.find("Referer: " + base + "\n"), std::string::npos) << echo;
    EXPECT_NE(echo.find("Pragma: no-cache\n"), std::string::npos) << echo;
}

TEST(HttpClient, GivesUpOnEndless401AfterBoundedResends) {
    const int before = FaultRequestCount(L"/denied");
    Fetch fetch(Servers().FaultUrl(L"/denied"));
    EXPECT_EQ(fetch.result, 401);
    EXPECT_EQ(FaultRequestCount(L"/denied") - before, 1 + CHttpClient::kMaxResends);
}

TEST(HttpClient, OpensTheSecureFlagsOnlyForHttps) {
    TrustedTestCa ca;
    CHttpClient client;
    client.m_silent = true;
    client.m_url = NetServers::Url(L"https", Servers().httpsGood, L"/first.txt").c_str();
    EXPECT_EQ(client.SendRequest(), 0);
    EXPECT_TRUE(client.IsSecure());
    client.m_url = Servers().HttpUrl(L"/first.txt").c_str();
    EXPECT_EQ(client.SendRequest(), 0);
    EXPECT_FALSE(client.IsSecure());
}

// A new URL closes the last request before its connection: closing the
// connection closes the request with it, and the handle value that the
// client kept could be given to another handle before the client closed it.
TEST(HttpClient, ANewUrlClosesTheLastRequestFirst) {
    Fetch fetch(Servers().HttpUrl(L"/first.txt"));
    ASSERT_EQ(fetch.result, 0);
    const CString next = Servers().HttpUrl(L"/second.bin").c_str();
    ASSERT_TRUE(fetch.client.SetUrl(next));
    EXPECT_EQ(fetch.client.Request(), nullptr);
    // Sessions opened meanwhile take the handle values that came free; each
    // must still be the session it was after the next request.
    InternetHandle others[16];
    for (InternetHandle& other : others)
        other.reset(InternetOpenW(L"other", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    fetch.client.m_url = next;
    EXPECT_EQ(fetch.client.SendRequest(), 0);
    for (const InternetHandle& other : others) {
        DWORD type = 0, size = sizeof type;
        EXPECT_TRUE(InternetQueryOptionW(other.get(), INTERNET_OPTION_HANDLE_TYPE, &type, &size)) << other.get();
        EXPECT_EQ(type, static_cast<DWORD>(INTERNET_HANDLE_TYPE_INTERNET)) << other.get();
    }
}

struct CloseCase {
    const char* name;
    std::wstring path;     // on the fault server
    DWORD closeAfterMs;    // 0: closed before the request
    int result;            // of SendRequest; a body read after 0 must fail
    int requests;          // that reach the server
};

class ClosedClient : public testing::TestWithParam<CloseCase> {};

// A close from another thread, wherever the client is, leaves no handle open
// and lets no request out after it. Under Wine the close does not end the
// request that waits for its answer: it ends with the server's answer.
TEST_P(ClosedClient, HoldsNoHandleAndSendsNothingMore) {
    const CloseCase& c = GetParam();
    const int handles = OpenInternetHandles();
    const std::wstring path = RunTag(L"client") + c.path;
    CHttpClient client;
    client.m_silent = true;
    client.m_url = Servers().FaultUrl(path).c_str();
    int handlesAfterClose = handles;
    std::thread closer;
    if (c.closeAfterMs == 0)
        client.Close();
    else
        closer = std::thread([&] {
            Sleep(c.closeAfterMs);
            client.Close();
            handlesAfterClose = OpenInternetHandles();
        });
    const int result = client.SendRequest();
    bool readFailed = false;
    char buffer[1024];
    DWORD read = 1;
    for (const DWORD start = GetTickCount(); result == 0 && !readFailed && read > 0 && GetTickCount() - start < 5000;)
        readFailed = !InternetReadFile(client.Request(), buffer, sizeof buffer, &read);
    if (closer.joinable()) closer.join();
    EXPECT_EQ(result, c.result);
    if (result == 0) {
        EXPECT_TRUE(readFailed);
    }
    EXPECT_EQ(FaultRequestCount(path), c.requests);
    if (handles < 0) GTEST_SKIP() << "only Wine's handle numbers let the open handles be counted";
    EXPECT_EQ(handlesAfterClose, handles);
    EXPECT_EQ(OpenInternetHandles(), handles);
}

INSTANTIATE_TEST_SUITE_P(Stages, ClosedClient,
                         testing::Values(CloseCase{"BeforeTheRequest", L"/echo", 0, CHttpClient::kAborted, 0},
                                         CloseCase{"DuringTheRequest", L"/stall/1000", 300, CHttpClient::kAborted, 1},
                                         CloseCase{"BetweenReads", L"/slow", 300, 0, 1}),
                         [](const testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST(HttpClient, SendsNothingOnceClosed) {
    const int before = FaultRequestCount(L"/echo");
    CHttpClient client;
    client.Close();
    client.m_url = Servers().FaultUrl(L"/echo").c_str();
    EXPECT_EQ(client.SendRequest(), CHttpClient::kAborted);
    EXPECT_EQ(FaultRequestCount(L"/echo"), before);
}

// Visible runs of the main program let the user settle a certificate error
// in the system's dialog; cancelling it leaves the error as the result. The
// elevated secondary program shows none: from that dialog a user reaches
// the certificate's export and its file dialogs, with the program's rights.
TEST(HttpClientGui, ShowsTheCertificateDialogOnlyInTheMainProgram) {
    TrustedTestCa ca;
    for (const int mainProgram : {1, 0}) {
        SCOPED_TRACE(mainProgram);
        const MainProgramScope program(mainProgram);
        const HWND owner =
            CreateWindowW(L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        testing_support::DialogDriver driver([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
        Fetch fetch(NetServers::Url(L"https", Servers().httpsWrongHost, L"/first.txt"), false, owner);
        DestroyWindow(owner);
        EXPECT_EQ(driver.found(), mainProgram == 1);
        EXPECT_EQ(fetch.result, ERROR_INTERNET_SEC_CERT_CN_INVALID);
    }
}
