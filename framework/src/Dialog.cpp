#include "framework/Dialog.h"

#include <cstring>
#include <vector>

#include "framework/WinApp.h"

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    const HWND control = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        const int length = ::GetWindowTextLengthW(control);
        ::GetWindowTextW(control, value.GetBuffer(length + 1), length + 1);
        value.ReleaseBuffer();
    } else {
        ::SetWindowTextW(control, value);
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!control.m_hWnd) control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDHelp(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal() {
    m_modeless = false;
    return ::DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDHelp),
                             m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &CDialog::DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDHelp = templateId;
    m_pParentWnd = parent;
    const HINSTANCE module = AfxGetResourceHandle();
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return FALSE;

    // A copy without WS_VISIBLE, so that a hidden dialog is never drawn. The
    // style sits at offset 12 of an extended template and at 0 of a plain one.
    const auto* bytes = static_cast<const BYTE*>(data);
    std::vector<BYTE> copy(bytes, bytes + ::SizeofResource(module, found));
    const bool extended = copy.size() >= 16 && reinterpret_cast<const WORD*>(copy.data())[1] == 0xFFFF;
    const size_t styleOffset = extended ? 12 : 0;
    if (copy.size() < styleOffset + sizeof(DWORD)) return FALSE;
    DWORD style;
    memcpy(&style, copy.data() + styleOffset, sizeof style);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    memcpy(copy.data() + styleOffset, &style, sizeof style);

    m_modeless = true;
    const HWND hwnd = ::CreateDialogIndirectParamW(
        module, reinterpret_cast<const DLGTEMPLATE*>(copy.data()), parent ? parent->m_hWnd : nullptr,
        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

int CDialog::RunModalLoop(DWORD) {
    m_inModalLoop = true;
    m_modalResult = -1;
    MSG msg;
    while (m_inModalLoop && m_hWnd) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT belongs to an outer loop: leave, and pass it on.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (!::IsDialogMessageW(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    m_inModalLoop = false;
    return m_modalResult;
}

void CDialog::EndModalLoop(int result) {
    m_modalResult = result;
    m_inModalLoop = false;
    if (m_hWnd) PostMessage(WM_NULL);  // wake the loop
}

void CDialog::EndDialog(int result) {
    if (m_modeless)
        EndModalLoop(result);
    else
        ::EndDialog(m_hWnd, result);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    // From here on every message goes through the object's handlers, and what
    // they leave to the default comes back here and ends in DefDlgProc.
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->SubclassWindow(hwnd);
    return dialog->OnInitDialog();
}
