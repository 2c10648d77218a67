#pragma once
// Windows of the framework. A CWnd is attached to a window by subclassing it:
// one window procedure finds the object through a window property and hands
// each message to the object's virtual handlers; what a handler leaves to the
// default goes to the window's original procedure.
#include <windows.h>

#include "framework/CString.h"
#include "framework/Gdi.h"

class CWnd {
public:
    CWnd() = default;
    // A stand-in for a window handle, such as the z-order positions below.
    explicit CWnd(HWND hwnd) : m_hWnd(hwnd) {}
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    // The object attached to a window by this framework, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    HICON SetIcon(HICON icon, BOOL big);
    HFONT GetFont() const;
    void SetFont(HFONT font, BOOL redraw = TRUE);
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

protected:
    // Hands a message to the handlers below; false sends it to Default().
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Default processing of the message being handled.
    LRESULT Default();

    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A child's colour request; the default reflects it to the child first.
    virtual HBRUSH OnCtlColor(CDC* dc, CWnd* child, UINT ctlColor);
    // The reflected colour request; null leaves it to the parent.
    virtual HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    virtual BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnPaint();
    virtual HCURSOR OnQueryDragIcon();
    virtual void OnTimer(UINT_PTR id);
    // The window is gone; the object stays and may be attached again.
    virtual void PostNcDestroy() {}

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    void Detach();

private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    WNDPROC m_previousProc = nullptr;
    const CurrentMessage* m_current = nullptr;
};

// Insert-after positions for SetWindowPos.
extern const CWnd wndTop;
extern const CWnd wndTopMost;
