#include "framework/WinApp.h"

#include <string>

CWinApp* CWinApp::s_current = nullptr;

CWinApp::CWinApp(const wchar_t* appName) : m_pszAppName(appName) { s_current = this; }

CWinApp::~CWinApp() {
    if (s_current == this) s_current = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return CWinApp::Current(); }

HINSTANCE AfxGetInstanceHandle() {
    CWinApp* app = AfxGetApp();
    return app && app->m_hInstance ? app->m_hInstance : GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

namespace {
// Without a name of its own, the application is titled by its program file.
std::wstring ApplicationTitle() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pszAppName) return app->m_pszAppName;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return L"";
    std::wstring name(path, length);
    name.erase(0, name.find_last_of(L"\\/") + 1);
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}
}  // namespace

int AfxMessageBox(const wchar_t* text, UINT type) {
    return MessageBoxW(GetActiveWindow(), text, ApplicationTitle().c_str(), type);
}

int AfxWinMain(HINSTANCE instance) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->InitInstance();
    return app->ExitInstance();
}
