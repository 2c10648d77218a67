#include "usershell/DesktopShellOpen.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "win/handle.h"

namespace {

// COM on this thread for the time of one call. A thread that already has an
// apartment, of either kind, keeps it; only an apartment entered here is
// left here.
class ComApartment {
public:
    ComApartment() : m_entered(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_entered)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool usable() const { return SUCCEEDED(m_entered) || m_entered == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_entered;
};

// The desktop's window among the shell windows. Their list is served by the
// shell of the user signed in at this desktop, never by this process: a
// process without such a shell (a service's, SYSTEM's) finds none.
win::ComPtr<IDispatch> DesktopWindow() {
    win::ComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(windows.put()))))
        return {};
    VARIANT desktop;
    ::VariantInit(&desktop);
    V_VT(&desktop) = VT_I4;
    V_I4(&desktop) = CSIDL_DESKTOP;
    VARIANT none;
    ::VariantInit(&none);
    LONG window = 0;
    win::ComPtr<IDispatch> found;
    // S_FALSE: no such window; nothing is handed back then.
    if (windows.get()->FindWindowSW(&desktop, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, found.put()) != S_OK)
        return {};
    return found;
}

// The automation object of the shell that shows the desktop, reached through
// the desktop's folder view: what it starts, its own process starts.
win::ComPtr<IShellDispatch2> DesktopShell() {
    const win::ComPtr<IDispatch> desktop = DesktopWindow();
    win::ComPtr<IServiceProvider> services;
    win::ComPtr<IShellBrowser> browser;
    win::ComPtr<IShellView> view;
    win::ComPtr<IDispatch> background;
    win::ComPtr<IShellFolderViewDual> folderView;
    win::ComPtr<IDispatch> application;
    win::ComPtr<IShellDispatch2> shell;
    if (!desktop || FAILED(desktop.get()->QueryInterface(IID_PPV_ARGS(services.put()))) ||
        FAILED(services.get()->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(browser.put()))) ||
        FAILED(browser.get()->QueryActiveShellView(view.put())) ||
        FAILED(view.get()->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(background.put()))) ||
        FAILED(background.get()->QueryInterface(IID_PPV_ARGS(folderView.put()))) ||
        FAILED(folderView.get()->get_Application(application.put())) ||
        FAILED(application.get()->QueryInterface(IID_PPV_ARGS(shell.put()))))
        return {};
    return shell;
}

}  // namespace

void OpenThroughDesktopShell(const wchar_t* address) {
    // Declared first, so that every interface below is released before COM
    // is left.
    const ComApartment apartment;
    if (!apartment.usable()) return;
    const win::ComPtr<IShellDispatch2> shell = DesktopShell();
    const win::Bstr file(::SysAllocString(address));
    const win::Bstr verb(::SysAllocString(L"open"));
    if (!shell || !file || !verb) return;
    VARIANT none;
    ::VariantInit(&none);
    VARIANT operation;
    ::VariantInit(&operation);
    V_VT(&operation) = VT_BSTR;
    V_BSTR(&operation) = verb.get();  // still owned by verb
    VARIANT show;
    ::VariantInit(&show);
    V_VT(&show) = VT_I4;
    V_I4(&show) = SW_SHOWNORMAL;
    shell.get()->ShellExecute(file.get(), none, none, operation, show);
}
