// Times one download through the real download path: the progress dialog run
// hidden as the main program runs it, its worker and its HTTP client.
// usage: download_bench URL TARGET
// Prints the bytes, the transfer time (until the bar is full) and the time of
// the whole run (with the dialog's closing pause).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "download/VelmoUpgradeToolDlg_Progress.h"
#include "process/ProcessFlags.h"
#include "res/resource.h"

// The main program's flags: the download runs as the main program runs it.
bool g_calledService = false;
int IsMainProgram = 1;

namespace {

LARGE_INTEGER g_frequency, g_start, g_full;

double Seconds(const LARGE_INTEGER& until) {
    return static_cast<double>(until.QuadPart - g_start.QuadPart) / static_cast<double>(g_frequency.QuadPart);
}

// The moment the worker fills the bar is the end of the transfer.
LRESULT CALLBACK WatchBar(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == PBM_SETPOS && msg->wParam == 100 &&
        g_full.QuadPart == 0)
        QueryPerformanceCounter(&g_full);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        fwprintf(stderr, L"usage: download_bench URL TARGET\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    QueryPerformanceFrequency(&g_frequency);
    const HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &WatchBar, nullptr, GetCurrentThreadId());

    VelmoUpgradeToolDlg_Progress dialog;
    dialog.m_list = {{argv[1], argv[2]}};
    dialog.m_chunkSize = 1024;  // as the owners set it
    dialog.m_hidden = 1;
    dialog.m_client.m_userAgent = L"ZRVVelmoUpgradeTool_Main";
    QueryPerformanceCounter(&g_start);
    if (!dialog.Create(IDD_PROGRESS)) return 1;
    dialog.ShowWindow(SW_HIDE);
    dialog.RunModalLoop(MLF_NOKICKIDLE);
    LARGE_INTEGER end;
    QueryPerformanceCounter(&end);
    dialog.DestroyWindow();
    UnhookWindowsHookEx(hook);

    const DownloadResult& result = dialog.Result();
    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExW(argv[2], GetFileExInfoStandard, &file);
    const unsigned long long bytes = (static_cast<unsigned long long>(file.nFileSizeHigh) << 32) | file.nFileSizeLow;
    printf("result=%d category=%d code=%d bytes=%llu transfer_s=%.3f run_s=%.3f\n", result.result,
           result.error_category, result.error_code, bytes, Seconds(g_full), Seconds(end));
    return result.result == DOWNLOAD_DONE && result.error_category == 0 ? 0 : 1;
}
