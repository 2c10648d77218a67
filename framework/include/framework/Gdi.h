#pragma once
// Drawing objects: device contexts used by the message handlers, and owned
// fonts and brushes.
#include <windows.h>

#include "win/handle.h"

class CWnd;

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(LONG px, LONG py) : POINT{px, py} {}
};

// A device context the framework lends to a handler; it does not own it.
class CDC {
public:
    explicit CDC(HDC dc = nullptr) : m_hDC(dc) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

    HDC m_hDC;
};

// BeginPaint / EndPaint for one WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// Owned GDI objects; the handle is freed with the object.
class CGdiObject {
public:
    HGDIOBJ GetSafeHandle() const { return m_object.get(); }
    bool IsValid() const { return m_object.valid(); }
    BOOL DeleteObject() { const BOOL had = m_object.valid(); m_object.reset(); return had; }

protected:
    BOOL Attach(HGDIOBJ object) { m_object.reset(object); return object != nullptr; }

private:
    win::GdiObject m_object;
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTW* font) { return Attach(::CreateFontIndirectW(font)); }
    operator HFONT() const { return static_cast<HFONT>(GetSafeHandle()); }
};

class CBrush : public CGdiObject {
public:
    BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(GetSafeHandle()); }
};
