// The progress dialog stopped at every stage of a transfer, and let go while
// its worker still runs.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "NetServers.h"
#include "ProgressDialogRun.h"
#include "res/resource.h"
#include "support/temp_folder.h"

using namespace net_testing;
using namespace testing_support;

namespace {

const NetServers& Servers() { return NetServers::Get(); }

struct StopCase {
    const char* name;
    std::wstring path;  // on the fault server
    DWORD stopAfterMs;  // 0: before the request
    bool timeOut;       // the time-out stops the run, not the user
};

// Stops its run as the case says: the user's cancel or the time-out.
class StoppedDialog : public TestProgressDialog {
public:
    static constexpr UINT_PTR kCancelTimer = 7;
    static constexpr DWORD kWaitMs = 200;

    explicit StoppedDialog(const StopCase& c) : TestProgressDialog(c.stopAfterMs), m_case(c) {
        m_timerSwitch = c.timeOut && c.stopAfterMs > 0;
        m_workerWaitMs = kWaitMs;
    }
    DWORD startedAt = 0;

protected:
    BOOL OnInitDialog() override {
        const BOOL focus = TestProgressDialog::OnInitDialog();
        startedAt = GetTickCount();
        if (m_case.stopAfterMs == 0)
            Stop();
        else if (!m_case.timeOut)
            SetTimer(kCancelTimer, m_case.stopAfterMs);
        return focus;
    }
    void OnTimer(UINT_PTR id) override {
        if (id == kCancelTimer) Stop();
        TestProgressDialog::OnTimer(id);
    }

private:
    // What the close box posts, or what the time-out timer delivers.
    void Stop() {
        KillTimer(kCancelTimer);
        if (m_case.timeOut)
            PostMessage(WM_TIMER, kTimeoutTimer);
        else
            PostMessage(WM_COMMAND, IDCANCEL);
    }
    StopCase m_case;
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
