#include "framework/Wnd.h"

#include <utility>

namespace {
const wchar_t kObjectProperty[] = L"VelmoFramework.CWnd";
}

const CWnd wndTop(HWND_TOP);
const CWnd wndTopMost(HWND_TOPMOST);

CWnd::~CWnd() {
    // A window that outlives its object must not call into it any more.
    if (m_previousProc) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    return hwnd ? static_cast<CWnd*>(::GetPropW(hwnd, kObjectProperty)) : nullptr;
}

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetPropW(hwnd, kObjectProperty, this);
}

void CWnd::Detach() {
    if (m_hWnd) ::RemovePropW(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
    Attach(hwnd);
    m_previousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WndProc)));
    if (!m_previousProc) {
        Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    const HWND hwnd = m_hWnd;
    if (hwnd && m_previousProc)
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    m_previousProc = nullptr;
    Detach();
    return hwnd;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

void CWnd::GetWindowText(CString& text) const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    ::GetWindowTextW(m_hWnd, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

void CWnd::SetFont(HFONT font, BOOL redraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProcW(hwnd, message, wParam, lParam);

    const CurrentMessage current{message, wParam, lParam};
    const CurrentMessage* outer = std::exchange(wnd->m_current, &current);
    LRESULT result = 0;
    if (!wnd->OnWndMsg(message, wParam, lParam, &result)) result = wnd->Default();
    wnd->m_current = outer;

    if (message == WM_NCDESTROY) {
        // The window is gone: give it back its own procedure and let the
        // object know, which may be reused for another window.
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::Default() {
    if (!m_current || !m_previousProc) return 0;
    return ::CallWindowProcW(m_previousProc, m_hWnd, m_current->message, m_current->wParam,
                             m_current->lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_COMMAND:
        if (!OnCommand(wParam, lParam)) return false;
        *result = 0;
        return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: {
        const HWND childHwnd = reinterpret_cast<HWND>(lParam);
        CWnd* child = FromHandlePermanent(childHwnd);
        CWnd stand_in(childHwnd);  // children we do not own are lent for the call
        CDC dc(reinterpret_cast<HDC>(wParam));
        *result = reinterpret_cast<LRESULT>(
            OnCtlColor(&dc, child ? child : &stand_in, message - WM_CTLCOLORMSGBOX));
        stand_in.m_hWnd = nullptr;
        return true;
    }
    case WM_SETCURSOR:
        *result = OnSetCursor(FromHandlePermanent(reinterpret_cast<HWND>(wParam)), LOWORD(lParam),
                              HIWORD(lParam));
        return true;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam),
                      CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
        return true;
    case WM_PAINT:
        OnPaint();
        return true;
    case WM_QUERYDRAGICON:
        *result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
        return true;
    case WM_TIMER:
        OnTimer(wParam);
        return true;
    default:
        return false;
    }
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }

HBRUSH CWnd::OnCtlColor(CDC* dc, CWnd* child, UINT ctlColor) {
    if (child && child->m_hWnd != m_hWnd) {
        if (CWnd* own = FromHandlePermanent(child->m_hWnd)) {
            if (HBRUSH brush = own->CtlColor(dc, ctlColor)) return brush;
        }
    }
    return reinterpret_cast<HBRUSH>(Default());
}

HBRUSH CWnd::CtlColor(CDC*, UINT) { return nullptr; }

BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }

void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }

void CWnd::OnPaint() { Default(); }

HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }

void CWnd::OnTimer(UINT_PTR) { Default(); }
