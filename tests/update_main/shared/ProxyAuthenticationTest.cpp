#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "NetServers.h"
#include "download/HttpClient.h"
#include "download/VelmoUpgradeToolDlg_Proxy.h"
#include "handover/HandOverBlock.h"
#include "process/ProcessFlags.h"
#include "res/resource.h"
#include "support/WindowDriver.h"

using namespace net_testing;
using namespace testing_support;

namespace {

const NetServers& Servers() { return NetServers::Get(); }

struct DialogSeen {
    std::wstring realm, proxy, user, note;
};

// Answers every proxy dialog that appears while it lives, the way the user
// would: types the credentials and confirms, or cancels when none are given.
class ProxyDialogAnswerer {
public:
    ProxyDialogAnswerer(std::wstring user, std::wstring password, bool confirm = true)
        : m_thread([this, user, password, confirm] {
              while (!m_stop) {
                  const HWND dialog = WaitForDialog(GetCurrentProcessId(), IDC_PROXY_USER, 100);
                  if (!dialog) continue;
                  m_seen.push_back({ControlText(dialog, IDC_PROXY_REALM), ControlText(dialog, IDC_PROXY_SERVER),
                                    ControlText(dialog, IDC_PROXY_USER), ControlText(dialog, IDC_PROXY_NOTE)});
                  SetDlgItemTextW(dialog, IDC_PROXY_USER, user.c_str());
                  SetDlgItemTextW(dialog, IDC_PROXY_PASSWORD, password.c_str());
                  Click(dialog, confirm ? IDOK : IDCANCEL);
                  WaitUntilGone(dialog, 5000);
              }
          }) {}
    ~ProxyDialogAnswerer() { Stop(); }
    // The dialogs answered so far; stops answering.
    const std::vector<DialogSeen>& Stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
        return m_seen;
    }

private:
    std::atomic<bool> m_stop{false};
    std::vector<DialogSeen> m_seen;
    std::thread m_thread;
};

int Fetch(const std::wstring& url) {
    CHttpClient client;
    client.m_silent = true;
    client.m_url = url.c_str();
    return client.SendRequest();
}

// The local proxy as the system proxy, no credentials known yet, and the
// main program's block open unless a test closes it.
class ProxyTest : public testing::Test {
protected:
    void SetUp() override {
        m_proxy = std::make_unique<SystemProxyScope>(ProxyPort());
        ProxyUserName.Empty();
        ProxyPassword.Empty();
        IsMainProgram = 1;
        g_calledService = false;
        ASSERT_TRUE(CreateHandOverBlock());
    }
    void TearDown() override {
        CloseHandOverBlock();
        ProxyUserName.Empty();
        ProxyPassword.Empty();
        g_calledService = false;
    }
    std::wstring Url() const { return Servers().HttpUrl(L"/first.txt"); }
    virtual int ProxyPort() const { return Servers().proxy; }

    std::unique_ptr<SystemProxyScope> m_proxy;
};

// The fault server as the system proxy: 407 for anything but the right
// credentials.
class StrictProxyTest : public ProxyTest {
protected:
    int ProxyPort() const override { return Servers().faults; }
};

// A block under the reading name holding what the main program wrote for
// these credentials.
struct HandedOver {
    HandedOver(const wchar_t* user, const wchar_t* password) {
        const HandOverPayload payload(user, password);
        if (!WriteHandOverBlock(&payload)) return;
        win::KernelHandle created(OpenFileMappingW(FILE_MAP_READ, FALSE, HAND_OVER_BLOCK_NAME));
        win::MappedView source(MapViewOfFile(created.get(), FILE_MAP_READ, 0, 0, 0));
        mapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(HandOverBlock),
                                         HAND_OVER_READ_NAME));
        view.reset(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
        if (source && view) memcpy(view.get(), source.get(), sizeof(HandOverBlock));
    }
    win::KernelHandle mapping;
    win::MappedView view;
};

}  // namespace

TEST_F(ProxyTest, AsksOnTheFirst407AndTheNextRequestPassesWithoutTheDialog) {
    ProxyDialogAnswerer answerer(Servers().proxyUser, Servers().proxyPassword);
    EXPECT_EQ(Fetch(Url()), 0);
    EXPECT_EQ(Fetch(Servers().HttpUrl(L"/second.bin")), 0);
    const std::vector<DialogSeen>& seen = answerer.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].realm, L"Tinyproxy");
    EXPECT_NE(seen[0].proxy.find(std::to_wstring(Servers().proxy)), std::wstring::npos) << seen[0].proxy;
    EXPECT_EQ(seen[0].note, L"");
    EXPECT_EQ(ProxyUserName, Servers().proxyUser.c_str());
    EXPECT_EQ(ProxyPassword, Servers().proxyPassword.c_str());
}

TEST_F(ProxyTest, CancellingTheDialogGivesUp) {
    ProxyDialogAnswerer answerer(L"", L"", false);
    EXPECT_EQ(Fetch(Url()), CHttpClient::kProxyGivenUp);
    EXPECT_EQ(answerer.Stop().size(), 1u);
    EXPECT_TRUE(ProxyUserName.IsEmpty());
}

TEST_F(ProxyTest, WrongCredentialsDoNotLoopForEver) {
    ProxyDialogAnswerer answerer(Servers().proxyUser, L"wrong");
    const int result = Fetch(Url());
    // tinyproxy answers wrong credentials with 401, a proxy that asks again
    // with 407: either way the request ends with that status.
    EXPECT_TRUE(result == 401 || result == 407) << result;
    EXPECT_LE(answerer.Stop().size(), static_cast<size_t>(CHttpClient::kMaxResends));
}

TEST_F(ProxyTest, SilentRunsTellTheUserWhatFollows) {
    g_calledService = true;
    ProxyDialogAnswerer answerer(Servers().proxyUser, Servers().proxyPassword);
    EXPECT_EQ(Fetch(Url()), 0);
    const std::vector<DialogSeen>& seen = answerer.Stop();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].note, L"※認証後は、更新やお知らせがある場合のみ案内画面を表示します。");
}

TEST_F(ProxyTest, ConfirmedCredentialsAreHandedOverEnciphered) {
    ProxyDialogAnswerer answerer(Servers().proxyUser, Servers().proxyPassword);
    ASSERT_EQ(Fetch(Url()), 0);
    answerer.Stop();
    // The secondary program's side of the hand-over: a reader of the block
    // with these bytes gets the credentials back.
    IsMainProgram = 0;
    const CString user = ProxyUserName;
    ProxyUserName.Empty();
    ProxyPassword.Empty();
    HandedOver block(user, Servers().proxyPassword.c_str());
    ProxyDialogAnswerer none(L"", L"", false);
    EXPECT_EQ(Fetch(Url()), 0);
    EXPECT_TRUE(none.Stop().empty());
    EXPECT_EQ(ProxyUserName, user);
}

// The allowed-URL-only run makes no block: the credentials the user gives
// still carry the download.
TEST_F(ProxyTest, WithoutItsBlockTheMainProgramKeepsTheCredentialsInTheProcess) {
    CloseHandOverBlock();
    ProxyDialogAnswerer answerer(Servers().proxyUser, Servers().proxyPassword);
    EXPECT_EQ(Fetch(Url()), 0);
    EXPECT_EQ(answerer.Stop().size(), 1u);
    EXPECT_EQ(ProxyUserName, Servers().proxyUser.c_str());
}

// tinyproxy answers wrong credentials with 401, which is never answered with
// credentials; a strict proxy asks again with 407.
TEST_F(ProxyTest, Tinyproxy401ForWrongStoredCredentialsEndsTheRequest) {
    HandedOver block(Servers().proxyUser.c_str(), L"stale");
    IsMainProgram = 0;
    ProxyDialogAnswerer answerer(Servers().proxyUser, Servers().proxyPassword);
    EXPECT_EQ(Fetch(Url()), 401);
    EXPECT_TRUE(answerer.Stop().empty());
}

TEST_F(StrictProxyTest, SecondaryProgramTriesWrongStoredCredentialsOnceThenAsks) {
    HandedOver block(Servers().proxyUser.c_str(), L"stale");
    IsMainProgram = 0;
    ProxyDialogAnswerer answerer(Servers().proxyUser, Servers().proxyPassword);
    EXPECT_EQ(Fetch(Url()), 0);
    EXPECT_EQ(answerer.Stop().size(), 1u);
    EXPECT_EQ(ProxyPassword, Servers().proxyPassword.c_str());
}

TEST_F(StrictProxyTest, WrongCredentialsAreAskedForABoundedNumberOfTimes) {
    ProxyDialogAnswerer answerer(Servers().proxyUser, L"wrong");
    EXPECT_EQ(Fetch(Url()), 407);
    EXPECT_EQ(answerer.Stop().size(), static_cast<size_t>(CHttpClient::kMaxResends));
}

TEST_F(ProxyTest, SecondaryProgramAsksWhenTheStoredBlockIsHostile) {
    const uint32_t hostile[2] = {0xFFFFFFF8, 0};
    win::KernelHandle mapping(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(HandOverBlock), HAND_OVER_READ_NAME));
    win::MappedView view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_TRUE(view);
    memcpy(view.get(), hostile, sizeof hostile);
    IsMainProgram = 0;
    ProxyDialogAnswerer answerer(L"", L"", false);
    EXPECT_EQ(Fetch(Url()), CHttpClient::kProxyGivenUp);
    EXPECT_EQ(answerer.Stop().size(), 1u);
}

// A request stopped while its dialog was being made: the dialog ends as it
// opens, with no answer to wait for.
TEST(ProxyDialog, EndsAsItOpensOnceItsRequestIsStopped) {
    const std::atomic<bool> stopped{true};
    VelmoUpgradeToolDlg_Proxy dialog;
    dialog.m_stopped = &stopped;
    std::future<INT_PTR> answer = std::async(std::launch::async, [&] { return dialog.DoModal(); });
    const bool ended = answer.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    if (!ended) Click(WaitForDialog(GetCurrentProcessId(), IDC_PROXY_USER, 1000), IDCANCEL);
    EXPECT_TRUE(ended);
    EXPECT_EQ(answer.get(), IDCANCEL);
}

struct EndlessChallenge {
    const char* name;
    std::wstring path;  // on the fault server
    int result;
    int requests;  // that the server gets
};

class EndlessChallengeBody : public testing::TestWithParam<EndlessChallenge> {
protected:
    void SetUp() override {
        ProxyUserName.Empty();
        ProxyPassword.Empty();
        IsMainProgram = 1;
    }
};

// The body of a 401 or 407 answer is read away only up to a bound: a server
// that never ends it must not hold the request, and each try after it goes
// out anew.
TEST_P(EndlessChallengeBody, IsReadOnlyUpToABound) {
    const int before = FaultRequestCount(GetParam().path);
    ProxyDialogAnswerer user(L"", L"", false);
    CHttpClient client;
    client.m_silent = true;
    client.m_url = Servers().FaultUrl(GetParam().path).c_str();
    std::future<int> result = std::async(std::launch::async, [&] { return client.SendRequest(); });
    const bool inTime = result.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    // Reads fail once the handles are closed: a request that hangs ends.
    if (!inTime) client.Close();
    EXPECT_TRUE(inTime);
    EXPECT_EQ(result.get(), GetParam().result);
    EXPECT_EQ(FaultRequestCount(GetParam().path) - before, GetParam().requests);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, EndlessChallengeBody,
    testing::Values(EndlessChallenge{"Denied", L"/endless/401", 401, 1 + CHttpClient::kMaxResends},
                    EndlessChallenge{"ProxyDemand", L"/endless/407", CHttpClient::kProxyGivenUp, 1}),
    [](const testing::TestParamInfo<EndlessChallenge>& info) { return std::string(info.param.name); });
