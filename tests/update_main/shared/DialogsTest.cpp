#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "dialogs/LinkOpening.h"
#include "dialogs/MessageDialogs.h"
#include "dialogs/VelmoUpgradeToolDlg.h"
#include "dialogs/VelmoUpgradeToolDlg_Ask.h"
#include "dialogs/VelmoUpgradeToolDlg_Close.h"
#include "dialogs/VelmoUpgradeToolDlg_Close_Small.h"
#include "download/VelmoUpgradeToolDlg_Proxy.h"
#include "messages/UserMessages.h"
#include "res/resource.h"
#include "support/WindowDriver.h"

using namespace testing_support;

namespace {
// What the links were asked to open, in order.
std::vector<std::wstring> g_openedAddresses;
}  // namespace

// The shared layer's tests stand in for a program here: a click on a link
// opens nothing, and the address is kept for the test to read.
void OpenLinkAddress(const wchar_t* address) { g_openedAddresses.push_back(address); }

namespace {

struct ColourAnswer {
    COLORREF text;
    HBRUSH brush;
};

// What the dialog answers when a static control asks for its colours.
ColourAnswer StaticColour(HWND dialog, int controlId) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 1, 1));
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId))));
    const ColourAnswer answer{GetTextColor(dc), brush};
    DeleteDC(dc);
    return answer;
}

std::wstring FontFace(HWND dialog) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfFaceName;
}

constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kBlue = 0x00FF0000;
const std::wstring kFaq = L"エラーや操作方法については以下のよくある質問をご確認ください。";

// The main and closing dialogs: the message in red, the notice in blue.
void ExpectMessageAndNoticeColours(HWND dialog) {
    EXPECT_EQ(StaticColour(dialog, IDC_MESSAGE).text, kRed);
    EXPECT_EQ(StaticColour(dialog, IDC_NOTICE).text, kBlue);
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

// The fields the main and closing dialogs show besides the message.
void FillFields(CVelmoUpgradeToolDlg& dialog, const wchar_t* message, const wchar_t* versionLabel) {
    dialog.m_message = message;
    dialog.m_notice = L"お知らせ";
    dialog.m_versionLabel = versionLabel;
    dialog.m_linkAddress = SUPPORT_URL;
}

HWND FindStaticWithText(HWND dialog, const std::wstring& text) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (WindowText(child) == text) return child;
    return nullptr;
}

}  // namespace

TEST(MainDialog, ShowsItsFieldsInTheirColours) {
    CVelmoUpgradeToolDlg dialog;
    FillFields(dialog, L"新しいバージョンがあります。", L"Velmoご利用ソフト： 6.2.0");
    DialogDriver driver([&](HWND hwnd) {
        EXPECT_EQ(WindowText(hwnd), L"Velmoご利用ソフト更新ツール");
        EXPECT_EQ(FontFace(hwnd), L"ＭＳ Ｐ明朝");
        EXPECT_EQ(ControlText(hwnd, IDOK), L"インストール");
        EXPECT_EQ(ControlText(hwnd, IDCANCEL), L"キャンセル");
        EXPECT_EQ(ControlText(hwnd, IDC_MESSAGE), L"新しいバージョンがあります。");
        EXPECT_EQ(ControlText(hwnd, IDC_NOTICE), L"お知らせ");
        EXPECT_EQ(ControlText(hwnd, IDC_VERSION_LABEL), L"Velmoご利用ソフト： 6.2.0");
        EXPECT_EQ(ControlText(hwnd, IDC_STATUS_CAPTION), L"[現在のインストール状況]");
        EXPECT_EQ(ControlText(hwnd, IDC_LINK), SUPPORT_URL);
        EXPECT_NE(FindStaticWithText(hwnd, kFaq), nullptr);
        ExpectMessageAndNoticeColours(hwnd);
        EXPECT_EQ(StaticColour(hwnd, IDC_LINK).text, kBlue);
        const COLORREF label = StaticColour(hwnd, IDC_VERSION_LABEL).text;
        EXPECT_NE(label, kRed);
        EXPECT_NE(label, kBlue);
        SaveScreenshot(hwnd, L"102_main");
        Click(hwnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(driver.found());
}

TEST(ClosingDialog, HasOnlyTheEndButtonAndTheMainDialogsColours) {
    VelmoUpgradeToolDlg_Close dialog;
    FillFields(dialog, L"更新はありません。", L"Velmoご利用ソフト： なし");
    DialogDriver driver([&](HWND hwnd) {
        EXPECT_EQ(GetDlgItem(hwnd, IDOK), nullptr);
        EXPECT_EQ(ControlText(hwnd, IDCANCEL), L"終了");
        ExpectMessageAndNoticeColours(hwnd);
        SaveScreenshot(hwnd, L"103_close");
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(driver.found());
}

TEST(SmallClosingDialog, KeepsTheDefaultColours) {
    VelmoUpgradeToolDlg_Close_Small dialog;
    dialog.m_message = ALREADY_RUNNING_TEXT;
    dialog.m_linkAddress = SUPPORT_URL;
    DialogDriver driver([&](HWND hwnd) {
        EXPECT_EQ(ControlText(hwnd, IDC_MESSAGE), ALREADY_RUNNING_TEXT);
        EXPECT_EQ(ControlText(hwnd, IDCANCEL), L"終了");
        EXPECT_FALSE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        EXPECT_EQ(StaticColour(hwnd, IDC_MESSAGE).text, GetSysColor(COLOR_WINDOWTEXT));
        EXPECT_EQ(StaticColour(hwnd, IDC_LINK).text, kBlue);
        SaveScreenshot(hwnd, L"115_close_small");
        g_openedAddresses.clear();
        ClickControl(hwnd, IDC_LINK);
        EXPECT_EQ(g_openedAddresses, std::vector<std::wstring>{SUPPORT_URL});
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(QuestionDialog, KeepsOrReplacesTheCaptions) {
    {
        VelmoUpgradeToolDlg_Ask dialog;
        dialog.m_message = L"続けますか。";
        DialogDriver driver([&](HWND hwnd) {
            EXPECT_EQ(ControlText(hwnd, IDOK), L"はい");
            EXPECT_EQ(ControlText(hwnd, IDCANCEL), L"いいえ");
            Click(hwnd, IDCANCEL);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    DialogDriver driver([&](HWND hwnd) {
        EXPECT_EQ(ControlText(hwnd, IDOK), L"更新");
        EXPECT_EQ(ControlText(hwnd, IDCANCEL), L"キャンセル");
        EXPECT_EQ(ControlText(hwnd, IDC_MESSAGE), ROOT_CERT_QUESTION_TEXT);
        EXPECT_EQ(ControlText(hwnd, IDC_LINK), SUPPORT_URL);
        SaveScreenshot(hwnd, L"109_ask");
        Click(hwnd, IDOK);
    });
    EXPECT_EQ(Ask(ROOT_CERT_QUESTION_TEXT, ROOT_CERT_OK_CAPTION), IDOK);
}

TEST(ProxyDialog, OpensOnTopWithTheUserNameSelectedAndReturnsTheEdits) {
    VelmoUpgradeToolDlg_Proxy dialog;
    dialog.m_proxy = L"127.0.0.1:3128";
    dialog.m_realm = L"Tinyproxy";
    dialog.m_userName = L"taro";
    INT_PTR result = 0;
    DialogDriver driver([&](HWND hwnd) {
        EXPECT_EQ(ControlText(hwnd, IDC_PROXY_SERVER), L"127.0.0.1:3128");
        EXPECT_EQ(ControlText(hwnd, IDC_PROXY_REALM), L"Tinyproxy");
        EXPECT_EQ(ControlText(hwnd, IDC_PROXY_NOTE), L"");
        EXPECT_NE(FindStaticWithText(hwnd, L"更新情報を取得するためには、Proxy認証が必要です。"), nullptr);
        EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(GetForegroundWindow(), hwnd);
        const HWND user = GetDlgItem(hwnd, IDC_PROXY_USER);
        DWORD start = 1, end = 0;
        SendMessageW(user, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, 4u);
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &gui);
        EXPECT_EQ(gui.hwndFocus, user);
        EXPECT_EQ(SendMessageW(user, EM_GETLIMITTEXT, 0, 0), 255);
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(hwnd, IDC_PROXY_PASSWORD), GWL_STYLE) & ES_PASSWORD);
        SaveScreenshot(hwnd, L"110_proxy");
        SetDlgItemTextW(hwnd, IDC_PROXY_USER, L"花子");
        SetDlgItemTextW(hwnd, IDC_PROXY_PASSWORD, L"p@ss");
        Click(hwnd, IDOK);
    });
    // The download worker runs it, without a parent window.
    std::thread worker([&] { result = dialog.DoModal(); });
    worker.join();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_userName, CString(L"花子"));
    EXPECT_EQ(dialog.m_password, CString(L"p@ss"));
}

TEST(ProxyDialog, ConfirmsEmptyTexts) {
    VelmoUpgradeToolDlg_Proxy dialog;
    dialog.m_userName = L"old";
    dialog.m_password = L"old";
    DialogDriver driver([&](HWND hwnd) {
        SetDlgItemTextW(hwnd, IDC_PROXY_USER, L"");
        SetDlgItemTextW(hwnd, IDC_PROXY_PASSWORD, L"");
        Click(hwnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.m_userName.IsEmpty());
    EXPECT_TRUE(dialog.m_password.IsEmpty());
}

TEST(ProgressTemplate, HasTheStatusTextAndTheBar) {
    CDialog dialog(IDD_PROGRESS);
    DialogDriver driver([&](HWND hwnd) {
        wchar_t className[64] = {};
        GetClassNameW(GetDlgItem(hwnd, IDC_PROGRESS), className, 64);
        EXPECT_STREQ(className, PROGRESS_CLASSW);
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(hwnd, IDC_MESSAGE), GWL_STYLE) & SS_SUNKEN);
        SetDlgItemTextW(hwnd, IDC_MESSAGE, PROGRESS_STATUS_TEXT);
        SendMessageW(GetDlgItem(hwnd, IDC_PROGRESS), PBM_SETPOS, 40, 0);
        SaveScreenshot(hwnd, L"108_progress");
        PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);  // the close box
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

// The dialog routines that end the process run in a child process of the test
// (a death test); the child's own driver closes the dialog as a user would.
TEST(DialogRoutinesDeathTest, ClosingEndsTheProcessWithExitCode1) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            DialogDriver driver([](HWND hwnd) { Click(hwnd, IDCANCEL); }, IDC_MESSAGE);
            AskOrExit(L"終了しますか。");
        },
        testing::ExitedWithCode(1), "");
}

// The closing routine ends the process however its dialog ends: closed, with
// another result, or never shown (-1).
TEST(DialogRoutinesDeathTest, TheClosingRoutineEndsTheProcessHoweverItsDialogEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int result : {IDCANCEL, IDOK, -1}) {
        EXPECT_EXIT(ShowAndEndAs(result, IDC_MESSAGE, [] { ShowSmallCloseAndExit(ALREADY_RUNNING_TEXT); }),
                    testing::ExitedWithCode(1), "")
            << result;
    }
}

TEST(DialogRoutines, AskOrExitReturnsOnYes) {
    DialogDriver driver([](HWND hwnd) { Click(hwnd, IDOK); }, IDC_MESSAGE);
    AskOrExit(ADMIN_REQUIRED_TEXT);
    SUCCEED();
}
