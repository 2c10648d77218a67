#pragma once
// The application object. Exactly one exists, as a static object of the
// program; the entry point runs its InitInstance and returns ExitInstance's
// result as the process exit code.
#include <windows.h>

class CWinApp {
public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the whole job of our programs; they return FALSE, so no main window
    // and no message loop follow.
    virtual BOOL InitInstance();
    // The process exit code.
    virtual int ExitInstance();

    const wchar_t* m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;

    static CWinApp* Current() { return s_current; }

private:
    static CWinApp* s_current;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// Dialog templates, icons and bitmaps come from the program's own module.
HINSTANCE AfxGetResourceHandle();
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK);
// Entry shared by the programs' wWinMain.
int AfxWinMain(HINSTANCE instance);
