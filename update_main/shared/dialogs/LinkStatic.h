#pragma once
// A static text that looks and acts like a web link: blue and underlined, a
// hand cursor, and a click opens the address (or, without one, the text) in
// the way that the program defines for it.
#include "framework/framework.h"

class CLinkStatic : public CStatic {
public:
    CLinkStatic();

    // What a click opens; empty: the text shown in the control.
    CString m_address;

protected:
    HBRUSH CtlColor(CDC* dc, UINT ctlColor) override;
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
    void OnLButtonDown(UINT flags, CPoint point) override;

private:
    CFont m_underlineFont;
    CBrush m_background;
    HCURSOR m_hCursor = nullptr;
    win::IconHandle m_ownedCursor;  // set when the cursor is a copy of ours
};
