#pragma once
// Dialogs from the program's dialog templates, modal (DoModal, from any
// thread, with or without a parent) or modeless (Create, then a modal loop of
// the caller's own with RunModalLoop).
#include "framework/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    // TRUE: controls to fields; FALSE: fields to controls.
    BOOL m_bSaveAndValidate;
};

void DDX_Text(CDataExchange* dx, int id, CString& value);
// Attaches the control object to the dialog's control on first exchange.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// RunModalLoop flag kept for the callers' sake: the loop has no idle work.
constexpr DWORD MLF_NOKICKIDLE = 0x0001;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    virtual INT_PTR DoModal();
    // Creates the dialog modeless. It starts hidden whatever the template
    // says; the caller shows it when it should be seen.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Runs messages until EndDialog or EndModalLoop; returns their result.
    int RunModalLoop(DWORD flags = 0);
    void EndModalLoop(int result);
    void EndDialog(int result);

    BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    bool m_modeless = false;
    bool m_inModalLoop = false;
    int m_modalResult = -1;
};
