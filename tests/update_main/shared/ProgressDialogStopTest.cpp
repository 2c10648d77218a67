// The progress dialog stopped at every stage of a transfer and just as its
// worker asks the user something, and let go while its worker still runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "MainProgramScope.h"
#include "NetServers.h"
#include "ProgressDialogRun.h"
#include "process/ProcessFlags.h"
#include "res/resource.h"
#include "support/WindowDriver.h"
#include "support/temp_folder.h"

using namespace net_testing;
using namespace testing_support;

namespace {

const NetServers& Servers() { return NetServers::Get(); }

struct StopCase {
    const char* name;
    std::wstring path;  // on the fault server
    DWORD stopAfterMs;  // 0: before the request; INFINITE: never
    bool timeOut;       // the time-out stops the run, not the user
};

// Stops its run as the case says: the time-out, or the user's cancel, posted
// by another thread as a key comes whatever the dialog is busy with. Notes
// when it started.
class StoppedDialog : public TestProgressDialog {
public:
    static constexpr DWORD kWaitMs = 200;

    explicit StoppedDialog(const StopCase& c) : TestProgressDialog(c.stopAfterMs), m_case(c) {
        m_timerSwitch = c.timeOut && c.stopAfterMs > 0;
        m_workerWaitMs = kWaitMs;
    }
    ~StoppedDialog() override {
        if (m_user.joinable()) m_user.join();
    }
    DWORD startedAt = 0;

protected:
    BOOL OnInitDialog() override {
        const BOOL focus = TestProgressDialog::OnInitDialog();
        startedAt = GetTickCount();
        if (m_case.timeOut && m_case.stopAfterMs == 0)
            PostMessage(WM_TIMER, kTimeoutTimer);
        else if (!m_case.timeOut && m_case.stopAfterMs != INFINITE)
            m_user = std::thread([window = m_hWnd, after = m_case.stopAfterMs] {
                Sleep(after);
                ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            });
        return focus;
    }

private:
    StopCase m_case;
    std::thread m_user;
};

}  // namespace

class ProgressDialogStop : public testing::TestWithParam<StopCase> {};

// A run stopped at any stage, and its dialog destroyed at once, again and
// again: the dialog ends within its wait and goes at once, the worker that
// outlives it ends by itself, no handle stays open, and nothing is requested
// after the stop, not the next file either. Under Wine a request that waits
// for its answer goes on until the answer comes; on Windows the close ends it.
TEST_P(ProgressDialogStop, EndsAtOnceAndLeavesNothing) {
    constexpr int kRuns = 3;
    const StopCase& c = GetParam();
    const TempFolder folder;
    const int handles = OpenInternetHandles();
    std::vector<std::wstring> tags;
    for (int run = 0; run < kRuns; ++run) {
        const std::wstring tag = RunTag(std::wstring(c.name, c.name + strlen(c.name)) + L"-" + std::to_wstring(run));
        tags.push_back(tag);
        auto dialog = std::make_unique<StoppedDialog>(c);
        const std::wstring stopped = folder / (L"stopped" + std::to_wstring(run));
        const std::wstring next = folder / (L"next" + std::to_wstring(run));
        dialog->m_list = {{Servers().FaultUrl(tag + c.path).c_str(), stopped.c_str()},
                          {Servers().FaultUrl(tag + L"/echo").c_str(), next.c_str()}};
        // Each run's own request goes out at once, not after the worker that
        // the last run stopped.
        AwaitStoppedWorkers();
        const DialogRun ended = RunVisible(*dialog);
        const DWORD endedAt = GetTickCount();
        const DWORD stoppedAt = dialog->startedAt + c.stopAfterMs;
        dialog.reset();
        EXPECT_LT(GetTickCount() - endedAt, 300u) << "run " << run;
        EXPECT_LT(endedAt - stoppedAt, StoppedDialog::kWaitMs + 1000) << "run " << run;
        EXPECT_EQ(ended.answer, IDCANCEL);
        // The error fields are the worker's, whatever its stopped request left.
        EXPECT_EQ(ended.result.result, c.timeOut ? DOWNLOAD_TIMED_OUT : DOWNLOAD_DONE);
        EXPECT_EQ(ended.result.cancelled, 1);
        EXPECT_EQ(ended.result.finished_count, 0);
        if (handles >= 0) {
            EXPECT_EQ(OpenInternetHandles(), handles) << "run " << run;
        }
    }
    AwaitStoppedWorkers();
    for (int run = 0; run < kRuns; ++run) {
        EXPECT_LE(FaultRequestCount(tags[run] + c.path), 1) << "run " << run;
        if (c.stopAfterMs > 0) {
            EXPECT_EQ(FaultRequestCount(tags[run] + c.path), 1) << "run " << run;
        }
        EXPECT_EQ(FaultRequestCount(tags[run] + L"/echo"), 0) << "run " << run;
        EXPECT_FALSE(exists(folder / (L"stopped" + std::to_wstring(run)))) << "run " << run;
    }
    if (handles < 0) GTEST_SKIP() << "only Wine's handle numbers let the open handles be counted";
    EXPECT_EQ(OpenInternetHandles(), handles);
}

INSTANTIATE_TEST_SUITE_P(Stages, ProgressDialogStop,
                         testing::Values(StopCase{"CancelBeforeTheRequest", L"/slow", 0, false},
                                         StopCase{"CancelDuringTheRequest", L"/stall/1200", 300, false},
                                         StopCase{"CancelBetweenReads", L"/slow", 300, false},
                                         StopCase{"TimeOutBeforeTheRequest", L"/slow", 0, true},
                                         StopCase{"TimeOutDuringTheRequest", L"/stall/1200", 300, true},
                                         StopCase{"TimeOutBetweenReads", L"/slow", 300, true}),
                         [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

namespace {

// A hidden dialog whose worker has been reading a trickling body for a while.
std::unique_ptr<TestProgressDialog> ReadingDialog(const TempFolder& folder) {
    auto dialog = std::make_unique<TestProgressDialog>();
    dialog->m_hidden = 1;
    dialog->m_list = {{Servers().FaultUrl(L"/slow").c_str(), (folder / L"slow.bin").c_str()}};
    EXPECT_TRUE(dialog->Create(IDD_PROGRESS));
    const DWORD until = GetTickCount() + 500;
    MSG msg;
    while (GetTickCount() < until) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    return dialog;
}

}  // namespace

// The owner may let the dialog go while its worker still runs (at process
// exit, for instance): the dialog stops the worker and goes at once.
TEST(ProgressDialog, OutlivesItsWorker) {
    const TempFolder folder;
    auto dialog = ReadingDialog(folder);
    const DWORD start = GetTickCount();
    dialog->DestroyWindow();
    dialog.reset();
    EXPECT_LT(GetTickCount() - start, 2000u);
}

// An object let go before its window: the worker that it stopped posts
// nothing to the window that stays (whose handle may, once it goes, name
// another window).
TEST(ProgressDialog, LetGoBeforeItsWindowPostsNothingMore) {
    const TempFolder folder;
    auto dialog = ReadingDialog(folder);
    const HWND window = dialog->m_hWnd;
    dialog.reset();
    // Long enough for the stopped worker's last read (a chunk comes every
    // 100 ms) and its report.
    MSG msg;
    bool posted = false;
    for (const DWORD start = GetTickCount(); !posted && GetTickCount() - start < 500; Sleep(10))
        posted = PeekMessageW(&msg, window, TestProgressDialog::WM_DOWNLOAD_FAILED,
                              TestProgressDialog::WM_DOWNLOAD_FAILED, PM_REMOVE);
    EXPECT_FALSE(posted);
    DestroyWindow(window);
}

// A stop closes the handles whose values the worker may be passing to a call
// that very moment, and Wine gives a freed value to the next handle at once:
// no request of the process opens a handle until the stopped worker has
// ended, unless it is closed itself meanwhile. Under Wine, closing the
// handles does not end a request that waits for its answer, so a stalled
// server holds the worker past the dialog's end.
TEST(ProgressDialog, NoRequestOpensWhileAStoppedWorkerRuns) {
    constexpr DWORD kStallMs = 1500;
    constexpr DWORD kCloseAfterMs = 100;
    AwaitStoppedWorkers();
    const TempFolder folder;
    const std::wstring tag = RunTag(L"after-stop");
    StoppedDialog dialog(StopCase{"", L"", 300, false});
    dialog.m_list = {{Servers().FaultUrl(tag + L"/stall/" + std::to_wstring(kStallMs)).c_str(),
                      (folder / L"stalled").c_str()}};
    const DWORD start = GetTickCount();
    RunVisible(dialog);
    if (FaultRequestCount(tag + L"/stall/" + std::to_wstring(kStallMs)) != 1 ||
        GetTickCount() - start >= kStallMs)
        GTEST_SKIP() << "no stalled request outlived the dialog";
    CHttpClient closed, waiting;
    closed.m_silent = waiting.m_silent = true;
    closed.m_url = waiting.m_url = Servers().FaultUrl(tag + L"/echo").c_str();
    std::thread closer([&] {
        Sleep(kCloseAfterMs);
        closed.Close();
    });
    EXPECT_EQ(closed.SendRequest(), CHttpClient::kAborted);
    EXPECT_LT(GetTickCount() - start, kStallMs);
    closer.join();
    EXPECT_EQ(waiting.SendRequest(), 0);
    EXPECT_GE(GetTickCount() - start, kStallMs);
    EXPECT_EQ(FaultRequestCount(tag + L"/echo"), 1);
}

namespace {

// The thread that runs the tests, and with them the progress dialogs.
const DWORD kTestThread = GetCurrentThreadId();

BOOL CALLBACK FindWorkerDialog(HWND window, LPARAM found) {
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    wchar_t className[8] = {};
    GetClassNameW(window, className, 8);
    if (process != GetCurrentProcessId() || thread == kTestThread || wcscmp(className, L"#32770") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// A dialog of this process that a thread other than the tests' has made,
// shown or not: the worker's proxy or certificate dialog. Null when there is
// none.
HWND WorkerDialog() {
    HWND found = nullptr;
    EnumWindows(&FindWorkerDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// How long after the dialog's start its worker makes its own dialog, which is
// cancelled as soon as it is there; 0 when none came.
DWORD OnePromptDelayMs(const DownloadList& list) {
    StoppedDialog dialog(StopCase{"", L"", INFINITE, false});
    dialog.m_list = list;
    std::atomic<bool> ended{false};
    std::atomic<DWORD> madeAt{0};
    std::thread watch([&] {
        for (HWND made = nullptr; !made && !ended; Sleep(1)) {
            if (!(made = WorkerDialog())) continue;
            madeAt = GetTickCount();
            PostMessageW(made, WM_COMMAND, IDCANCEL, 0);
        }
    });
    RunVisible(dialog);
    ended = true;
    watch.join();
    return madeAt ? madeAt - dialog.startedAt : 0;
}

// The same, typical of the runs that follow: the median of three, after a
// first run that may be slow.
DWORD PromptDelayMs(const DownloadList& list) {
    OnePromptDelayMs(list);
    DWORD delays[] = {OnePromptDelayMs(list), OnePromptDelayMs(list), OnePromptDelayMs(list)};
    std::sort(std::begin(delays), std::end(delays));
    return delays[0] > 0 ? delays[1] : 0;
}

struct PromptCase {
    const char* name;
    bool proxy;  // the proxy asks for credentials; otherwise the server's certificate names another host
};

}  // namespace

class StopAroundAPrompt : public testing::TestWithParam<PromptCase> {};

// A stop never leaves a dialog of the worker behind, however close it comes
// to the dialog's making: Esc is posted at times swept across that moment,
// and once the progress dialog has ended, no dialog of the worker stays.
TEST_P(StopAroundAPrompt, LeavesNoDialogBehind) {
    constexpr DWORD kBeforeMs = 40, kAfterMs = 6, kStepMs = 1, kSettleMs = 500;
    const PromptCase& c = GetParam();
    ProxyUserName.Empty();
    ProxyPassword.Empty();
    const MainProgramScope program(1);
    const TrustedTestCa ca;
    std::unique_ptr<SystemProxyScope> proxy;
    if (c.proxy) proxy = std::make_unique<SystemProxyScope>(Servers().proxy);
    const std::wstring url =
        c.proxy ? Servers().HttpUrl(L"/first.txt") : NetServers::Url(L"https", Servers().httpsWrongHost, L"/first.txt");
    const TempFolder folder;
    const DownloadList list = {{url.c_str(), (folder / L"target").c_str()}};
    const DWORD madeMs = PromptDelayMs(list);
    ASSERT_GT(madeMs, 0u) << "the worker asked nothing";

    std::wstring strays;
    for (DWORD at = madeMs > kBeforeMs ? madeMs - kBeforeMs : 1; at <= madeMs + kAfterMs; at += kStepMs) {
        AwaitStoppedWorkers();
        StoppedDialog dialog(StopCase{c.name, L"", at, false});
        dialog.m_list = list;
        RunVisible(dialog);
        HWND stray = WorkerDialog();
        for (const DWORD start = GetTickCount(); stray && GetTickCount() - start < kSettleMs; stray = WorkerDialog())
            Sleep(10);
        if (!stray) continue;
        strays += L" " + std::to_wstring(at);
        PostMessageW(stray, WM_COMMAND, IDCANCEL, 0);
        WaitUntilGone(stray, 5000);
    }
    EXPECT_TRUE(strays.empty()) << "made after " << madeMs << " ms; left behind by stops after (ms):" << strays;
}

INSTANTIATE_TEST_SUITE_P(Prompts, StopAroundAPrompt,
                         testing::Values(PromptCase{"ProxyCredentials", true}, PromptCase{"CertificateError", false}),
                         [](const testing::TestParamInfo<PromptCase>& info) { return std::string(info.param.name); });
