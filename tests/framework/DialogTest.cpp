#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/WindowDriver.h"
#include "framework/framework.h"
#include "test_dialogs.h"

using namespace testing_support;

namespace {

class ColouredLabel : public CStatic {
public:
    CBrush brush;
    ColouredLabel() { brush.CreateSolidBrush(RGB(1, 2, 3)); }

protected:
    HBRUSH CtlColor(CDC* dc, UINT) override {
        dc->SetTextColor(RGB(200, 0, 0));
        return brush;
    }
};

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_FRAMEWORK_TEST) {}
    CString text;
    ColouredLabel label;
    int initCount = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, IDC_TEST_EDIT, text);
        DDX_Control(dx, IDC_TEST_LABEL, label);
    }
    BOOL OnInitDialog() override {
        ++initCount;
        return CDialog::OnInitDialog();
    }
};

// Types into the edit and presses the button.
void TypeAndPress(HWND dialog, const wchar_t* typed, int button) {
    SetDlgItemTextW(dialog, IDC_TEST_EDIT, typed);
    Click(dialog, button);
}

}  // namespace

TEST(Dialog, ModalExchangesDataBothWays) {
    TestDialog dialog;
    dialog.text = L"前の値";
    std::wstring shown;
    {
        DialogDriver driver([&](HWND hwnd) {
            shown = ControlText(hwnd, IDC_TEST_EDIT);
            TypeAndPress(hwnd, L"新しい値", IDOK);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
    }
    EXPECT_EQ(shown, L"前の値");
    EXPECT_EQ(dialog.text, CString(L"新しい値"));
    // The window is gone and the objects are free for another run.
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.label.m_hWnd, nullptr);
}

TEST(Dialog, CancelKeepsTheFieldsAndCanRunAgain) {
    TestDialog dialog;
    dialog.text = L"元";
    for (int run = 0; run < 2; ++run) {
        DialogDriver driver([&](HWND hwnd) { TypeAndPress(hwnd, L"捨てる", IDCANCEL); });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    EXPECT_EQ(dialog.text, CString(L"元"));
    EXPECT_EQ(dialog.initCount, 2);
}

TEST(Dialog, RunsModalFromAWorkerThreadWithoutParent) {
    TestDialog dialog;
    INT_PTR result = 0;
    HWND owner = reinterpret_cast<HWND>(1);
    DialogDriver driver([&](HWND hwnd) {
        owner = GetWindow(hwnd, GW_OWNER);
        TypeAndPress(hwnd, L"worker", IDOK);
    });
    std::thread worker([&] { result = dialog.DoModal(); });
    worker.join();
    EXPECT_TRUE(driver.found());
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(dialog.text, CString(L"worker"));
}

TEST(Dialog, ReflectsStaticColourRequestsToTheControl) {
    TestDialog dialog;
    HBRUSH labelBrush = nullptr, editBrush = nullptr;
    COLORREF labelColour = 0;
    DialogDriver driver([&](HWND hwnd) {
        HDC dc = CreateCompatibleDC(nullptr);
        labelBrush = reinterpret_cast<HBRUSH>(SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_TEST_LABEL))));
        labelColour = GetTextColor(dc);
        // A control without an object of ours gets the dialog's default.
        editBrush = reinterpret_cast<HBRUSH>(SendMessageW(hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                          reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_TEST_EDIT))));
        DeleteDC(dc);
        Click(hwnd, IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_EQ(labelBrush, static_cast<HBRUSH>(dialog.label.brush));
    EXPECT_EQ(labelColour, RGB(200, 0, 0));
    EXPECT_NE(editBrush, nullptr);
    EXPECT_NE(editBrush, labelBrush);
}

TEST(Dialog, HiddenModelessDialogIsNeverShown) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FRAMEWORK_TEST));
    ASSERT_NE(dialog.m_hWnd, nullptr);
    std::atomic<bool> seen{false}, stop{false};
    const HWND hwnd = dialog.m_hWnd;
    std::thread watcher([&] {
        while (!stop) {
            if (IsWindowVisible(hwnd)) seen = true;
            Sleep(5);
        }
    });
    std::thread ender([&] {
        Sleep(300);
        PostMessageW(hwnd, WM_COMMAND, IDOK, 0);  // as if its OK button were pressed
    });
    EXPECT_EQ(dialog.RunModalLoop(MLF_NOKICKIDLE), IDOK);
    ender.join();
    stop = true;
    watcher.join();
    EXPECT_FALSE(seen);
    EXPECT_EQ(dialog.initCount, 1);
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}
