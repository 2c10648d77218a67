#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "MainProgramScope.h"
#include "NetServers.h"
#include "ProgressDialogRun.h"
#include "download/VelmoUpgradeToolDlg_Progress.h"
#include "handover/HandOverBlock.h"
#include "process/ProcessFlags.h"
#include "res/resource.h"
#include "support/WindowDriver.h"
#include "support/temp_folder.h"

using namespace net_testing;
using namespace testing_support;

namespace {

const NetServers& Servers() { return NetServers::Get(); }

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    return wcscmp(className, name) == 0;
}

// What the user-interface thread sees of the run: every bar position that
// reaches the bar, and whether a dialog of the thread was ever visible.
class RunWatch {
public:
    RunWatch() {
        s_current = this;
        m_messages = SetWindowsHookExW(WH_GETMESSAGE, &OnMessage, nullptr, GetCurrentThreadId());
        m_calls = SetWindowsHookExW(WH_CALLWNDPROCRET, &OnCall, nullptr, GetCurrentThreadId());
    }
    ~RunWatch() {
        UnhookWindowsHookEx(m_messages);
        UnhookWindowsHookEx(m_calls);
        s_current = nullptr;
    }
    std::vector<int> positions;
    bool shown = false;

private:
    static LRESULT CALLBACK OnMessage(int code, WPARAM wParam, LPARAM lParam) {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == PBM_SETPOS &&
            IsClass(msg->hwnd, PROGRESS_CLASSW))
            s_current->positions.push_back(static_cast<int>(msg->wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK OnCall(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && IsClass(call->hwnd, L"#32770") && IsWindowVisible(call->hwnd))
            s_current->shown = true;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static RunWatch* s_current;
    HHOOK m_messages;
    HHOOK m_calls;
};
RunWatch* RunWatch::s_current = nullptr;

// The main program's silent run: created without parent, hidden, and a
// modal loop of the owner's; IDCANCEL when the result tells of a failure.
DialogRun RunHidden(TestProgressDialog& dialog) {
    const DWORD start = GetTickCount();
    dialog.m_hidden = 1;
    EXPECT_TRUE(dialog.Create(IDD_PROGRESS));
    dialog.ShowWindow(SW_HIDE);
    dialog.RunModalLoop(MLF_NOKICKIDLE);
    dialog.DestroyWindow();
    const DownloadResult& result = dialog.Result();
    const bool failed = result.error_category > 0 || result.cancelled == 1 || result.error_code == 9999;
    return {failed ? IDCANCEL : IDOK, result, GetTickCount() - start};
}

void ExpectResult(const DownloadResult& r, int code, int finished, int category, int result, int cancelled) {
    EXPECT_EQ(r.error_code, code);
    EXPECT_EQ(r.finished_count, finished);
    EXPECT_EQ(r.error_category, category);
    EXPECT_EQ(r.result, result);
    EXPECT_EQ(r.cancelled, cancelled);
}

DownloadList ThreeFiles(const std::wstring& folder) {
    DownloadList list;
    for (const std::wstring& name : Servers().files) list.push_back({Servers().HttpUrl(L"/" + name).c_str(), (folder + L"\\" + name).c_str()});
    return list;
}

void ExpectSameAsServed(const std::wstring& folder) {
    for (const std::wstring& name : Servers().files)
        EXPECT_EQ(read_bytes(folder + L"\\" + name), read_bytes(Servers().WwwFile(name))) << name.c_str();
}

// Presses Esc on the progress dialog once the download has run for a while;
// records when.
class CancelLater {
public:
    explicit CancelLater(DWORD afterMs)
        : m_driver(
              [this, afterMs](HWND dialog) {
                  Sleep(afterMs);
                  cancelledAt = GetTickCount();
                  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
              },
              IDC_PROGRESS) {}
    std::atomic<DWORD> cancelledAt{0};

private:
    DialogDriver m_driver;
};

}  // namespace

TEST(ProgressDialog, FetchesThreeFilesAndFillsTheBar) {
    const TempFolder folder;
    TestProgressDialog dialog;
    dialog.m_list = ThreeFiles(folder.path());
    RunWatch watch;
    DialogDriver screenshot([](HWND hwnd) {
        EXPECT_EQ(ControlText(hwnd, IDC_MESSAGE), L"更新情報を取得しています。");
        SaveScreenshot(hwnd, L"108_progress");
    }, IDC_PROGRESS);
    const DialogRun run = RunVisible(dialog);
    EXPECT_EQ(run.answer, IDOK);
    ExpectResult(run.result, 0, 3, 0, 0, 0);
    ExpectSameAsServed(folder.path());

    ASSERT_FALSE(watch.positions.empty());
    EXPECT_EQ(watch.positions.back(), 100);
    EXPECT_TRUE(std::is_sorted(watch.positions.begin(), watch.positions.end()));
    for (int position : {33, 66}) EXPECT_NE(std::find(watch.positions.begin(), watch.positions.end(), position), watch.positions.end()) << position;
    // Posted only when the bar moves.
    EXPECT_EQ(std::adjacent_find(watch.positions.begin(), watch.positions.end()), watch.positions.end());
}

TEST(ProgressDialog, A404OnTheSecondFileEndsTheRunThere) {
    const TempFolder folder;
    DownloadList list = ThreeFiles(folder.path());
    list[1].url = Servers().HttpUrl(L"/missing.bin").c_str();
    // A copy from an earlier run must not pass for the new one.
    FILE* stale = _wfopen(list[1].path, L"wb");
    fputs("stale", stale);
    fclose(stale);

    TestProgressDialog dialog;
    dialog.m_list = list;
    const DialogRun run = RunVisible(dialog);
    EXPECT_EQ(run.answer, IDCANCEL);
    ExpectResult(run.result, 404, 1, DOWNLOAD_REQUEST_FAILED, DOWNLOAD_FAILED, 0);
    EXPECT_TRUE(exists(list[0].path.GetString()));
    EXPECT_FALSE(exists(list[1].path.GetString()));
    EXPECT_FALSE(exists(list[2].path.GetString()));
}

struct BodyFailure {
    const char* name;
    std::wstring path;  // on the fault server
    int code;           // 0: any code
};

class ProgressDialogBody : public testing::TestWithParam<BodyFailure> {};

// A body that breaks off is a read failure and leaves no file behind.
TEST_P(ProgressDialogBody, ThatBreaksOffIsAnError) {
    const TempFolder folder;
    TestProgressDialog dialog;
    const std::wstring target = folder / L"target.bin";
    dialog.m_list = {{Servers().FaultUrl(GetParam().path).c_str(), target.c_str()}};
    const DialogRun run = RunHidden(dialog);
    EXPECT_EQ(run.answer, IDCANCEL);
    EXPECT_EQ(run.result.error_category, DOWNLOAD_READ_FAILED) << run.result.error_code;
    EXPECT_EQ(run.result.result, DOWNLOAD_FAILED);
    if (GetParam().code) {
        EXPECT_EQ(run.result.error_code, GetParam().code);
    }
    EXPECT_NE(run.result.error_code, 0);
    EXPECT_FALSE(exists(target));
}

INSTANTIATE_TEST_SUITE_P(Faults, ProgressDialogBody,
                         testing::Values(BodyFailure{"ShortBody", L"/short", ERROR_INTERNET_CONNECTION_ABORTED},
                                         // The reset's own error, or the end of a body cut short when
                                         // Wine takes the reset for the end.
                                         BodyFailure{"Reset", L"/reset", 0}),
                         [](const testing::TestParamInfo<BodyFailure>& info) { return std::string(info.param.name); });

TEST(ProgressDialog, ATargetThatCannotBeCreatedIsAnError) {
    const TempFolder folder;
    TestProgressDialog dialog;
    dialog.m_list = {{Servers().HttpUrl(L"/first.txt").c_str(), (folder / L"no\\such\\folder.txt").c_str()}};
    const DialogRun run = RunHidden(dialog);
    EXPECT_EQ(run.answer, IDCANCEL);
    ExpectResult(run.result, ERROR_PATH_NOT_FOUND, 0, DOWNLOAD_READ_FAILED, DOWNLOAD_FAILED, 0);
}

// Windows also ends a read that is blocked when the cancel closes the
// handles; Wine lets it run until data comes, so here the cancel relies on
// reads that stay short on a slow link (the read size follows the link).
TEST(ProgressDialog, CancelEndsWithinASecondOrTwo) {
    const TempFolder folder;
    const std::wstring target = folder / L"slow.bin";
    TestProgressDialog dialog;
    dialog.m_list = {{Servers().FaultUrl(L"/slow").c_str(), target.c_str()}};
    CancelLater cancel(700);
    const DialogRun run = RunVisible(dialog);
    const DWORD ended = GetTickCount();
    EXPECT_EQ(run.answer, IDCANCEL);
    ASSERT_NE(cancel.cancelledAt.load(), 0u);
    EXPECT_LT(ended - cancel.cancelledAt, 2000u);
    EXPECT_EQ(run.result.cancelled, 1);
    EXPECT_EQ(run.result.result, DOWNLOAD_DONE);
    EXPECT_EQ(run.result.finished_count, 0);
    // The part that arrived is not the file.
    EXPECT_FALSE(exists(target));
}

TEST(ProgressDialog, TheTimeOutEndsARunThatTakesTooLong) {
    const TempFolder folder;
    TestProgressDialog dialog(1000);
    dialog.m_timerSwitch = 1;
    dialog.m_list = {{Servers().FaultUrl(L"/slow").c_str(), (folder / L"slow.bin").c_str()}};
    const DialogRun run = RunHidden(dialog);
    EXPECT_EQ(run.answer, IDCANCEL);
    EXPECT_EQ(run.result.result, DOWNLOAD_TIMED_OUT);
    EXPECT_EQ(run.result.cancelled, 1);
    EXPECT_GE(run.elapsedMs, 1000u);
    EXPECT_LT(run.elapsedMs, 4000u);
}

TEST(ProgressDialog, WithoutTheTimerSwitchNothingTimesOut) {
    const TempFolder folder;
    TestProgressDialog dialog(200);  // shorter than the run's closing pause
    dialog.m_list = ThreeFiles(folder.path());
    const DialogRun run = RunHidden(dialog);
    EXPECT_EQ(run.answer, IDOK);
    ExpectResult(run.result, 0, 3, 0, 0, 0);
}

TEST(ProgressDialog, HiddenRunsNeverShowAWindow) {
    const TempFolder folder;
    {
        TestProgressDialog dialog;
        dialog.m_list = ThreeFiles(folder.path());
        RunWatch watch;
        const DialogRun run = RunHidden(dialog);
        EXPECT_EQ(run.answer, IDOK);
        ExpectResult(run.result, 0, 3, 0, 0, 0);
        EXPECT_FALSE(watch.shown);
        EXPECT_EQ(watch.positions.back(), 100);
    }
    {
        // Even a modal run with the template's visible style stays hidden.
        TestProgressDialog dialog;
        dialog.m_hidden = 1;
        dialog.m_list = ThreeFiles(folder.path());
        RunWatch watch;
        EXPECT_EQ(RunVisible(dialog).answer, IDOK);
        EXPECT_FALSE(watch.shown);
    }
    ExpectSameAsServed(folder.path());
}

TEST(ProgressDialog, AnEmptyListEndsAfterTheClosingPause) {
    TestProgressDialog dialog;
    const DialogRun run = RunHidden(dialog);
    EXPECT_EQ(run.answer, IDOK);
    ExpectResult(run.result, 0, 0, 0, 0, 0);
    EXPECT_GE(run.elapsedMs, 900u);
}

TEST(ProgressDialog, CertificateErrorsFailSilentRunsAndAskInVisibleOnes) {
    TrustedTestCa ca;
    const std::wstring url = NetServers::Url(L"https", Servers().httpsWrongHost, L"/first.txt");
    const TempFolder folder;
    const std::wstring target = folder / L"first.txt";
    {
        TestProgressDialog dialog;
        dialog.m_list = {{url.c_str(), target.c_str()}};
        ExpectResult(RunHidden(dialog).result, ERROR_INTERNET_SEC_CERT_CN_INVALID, 0, DOWNLOAD_REQUEST_FAILED,
                     DOWNLOAD_FAILED, 0);
    }
    {
        TestProgressDialog dialog;
        dialog.m_list = {{url.c_str(), target.c_str()}};
        // The main program's: the elevated one never asks.
        const MainProgramScope program(1);
        // The system's dialog is the one without the progress bar.
        std::atomic<bool> asked{false};
        std::thread user([&] {
            for (int i = 0; i < 500 && !asked; ++i, Sleep(20)) {
                const HWND found = WaitForDialog(GetCurrentProcessId(), 0, 20);
                if (found && !GetDlgItem(found, IDC_PROGRESS)) {
                    asked = true;
                    PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
                }
            }
        });
        const DialogRun run = RunVisible(dialog);
        user.join();
        EXPECT_TRUE(asked);
        ExpectResult(run.result, ERROR_INTERNET_SEC_CERT_CN_INVALID, 0, DOWNLOAD_REQUEST_FAILED, DOWNLOAD_FAILED, 0);
    }
    EXPECT_FALSE(exists(target));
}

// The proxy tests' set-up: the local proxy as the system proxy, nothing
// known of its credentials, the main program's block open.
class ProgressDialogProxy : public testing::Test {
protected:
    void SetUp() override {
        ProxyUserName.Empty();
        ProxyPassword.Empty();
        IsMainProgram = 1;
        ASSERT_TRUE(CreateHandOverBlock());
    }
    void TearDown() override { CloseHandOverBlock(); }
    SystemProxyScope m_proxy{Servers().proxy};
};

TEST_F(ProgressDialogProxy, CancellingTheProxyDialogGivesUp) {
    const TempFolder folder;
    TestProgressDialog dialog;
    dialog.m_list = ThreeFiles(folder.path());
    DialogDriver user([](HWND proxy) { Click(proxy, IDCANCEL); }, IDC_PROXY_USER);
    const DialogRun run = RunHidden(dialog);
    EXPECT_TRUE(user.found());
    EXPECT_EQ(run.answer, IDCANCEL);
    ExpectResult(run.result, CHttpClient::kProxyGivenUp, 0, DOWNLOAD_NO_ERROR, DOWNLOAD_FAILED, 0);
}

TEST_F(ProgressDialogProxy, TheTimeOutAlsoClosesAnOpenProxyDialog) {
    const TempFolder folder;
    TestProgressDialog dialog(1500);
    dialog.m_timerSwitch = 1;
    dialog.m_list = ThreeFiles(folder.path());
    std::atomic<bool> closed{false};
    DialogDriver user([&](HWND proxy) { closed = WaitUntilGone(proxy, 5000); }, IDC_PROXY_USER);
    const DialogRun run = RunHidden(dialog);
    EXPECT_EQ(run.result.result, DOWNLOAD_TIMED_OUT);
    EXPECT_EQ(run.result.cancelled, 1);
    EXPECT_LT(run.elapsedMs, 4000u);
    EXPECT_TRUE(user.found());
    Sleep(500);
    EXPECT_TRUE(closed);
}

// A worker that outlives the dialog's wait for it reports too late: what the
// owner read as the dialog ended stays so, and the late worker harms nothing.
// Under Wine, closing the handles does not end a request that waits for its
// answer, so a stalled server holds the worker past the wait.
TEST(ProgressDialog, AWorkerThatOutlivesTheWaitChangesNothingTheOwnerRead) {
    constexpr DWORD kStallMs = 7000;
    const TempFolder folder;
    TestProgressDialog dialog(300);
    dialog.m_timerSwitch = 1;
    dialog.m_list = {{Servers().FaultUrl(L"/stall/" + std::to_wstring(kStallMs)).c_str(), (folder / L"late.txt").c_str()}};
    const DWORD start = GetTickCount();
    const DialogRun run = RunHidden(dialog);
    if (run.elapsedMs < TestProgressDialog::kWorkerWaitMs)
        GTEST_SKIP() << "closing the handles ended the request: no worker outlived the wait";
    ASSERT_LT(run.elapsedMs, kStallMs);
    ExpectResult(run.result, 0, 0, DOWNLOAD_NO_ERROR, DOWNLOAD_TIMED_OUT, 1);

    // Watched until well after the stall has ended and the worker with it.
    const auto unchanged = [&] {
        const DownloadResult& now = dialog.Result();
        return now.error_code == 0 && now.error_category == DOWNLOAD_NO_ERROR && now.finished_count == 0;
    };
    while (GetTickCount() - start < kStallMs + 2000 && unchanged()) Sleep(50);
    ExpectResult(dialog.Result(), 0, 0, DOWNLOAD_NO_ERROR, DOWNLOAD_TIMED_OUT, 1);
}
