#pragma once
// Control classes attached to a dialog's controls through DDX_Control.
#include <commctrl.h>

#include "framework/Wnd.h"

class CStatic : public CWnd {};

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int lower, int upper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    int SetPos(int position) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position))); }
};
