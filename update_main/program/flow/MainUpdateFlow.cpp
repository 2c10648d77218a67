#include "startup/VelmoUpgradeToolApp.h"

#include <shellapi.h>

#include "commandline/RunMode.h"
#include "win/handle.h"

void CVelmoUpgradeToolApp::RunUpdateCheck(const wchar_t*) { ParseCommandLine(); }

BOOL CVelmoUpgradeToolApp::RunSubCommand(int isAdmin) {
    const CString command = m_store.GetSubCommand();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    // Without administrator rights Windows asks for them; an administrator
    // runs it as is.
    info.lpVerb = isAdmin == 0 ? L"runas" : L"";
    info.lpFile = command;
    info.lpParameters = m_runMode == RUN_DOWNLOAD_PELMARCH ? L"/download_pelmarch" : nullptr;
    info.nShow = SW_SHOWNORMAL;
    const BOOL started = ::ShellExecuteExW(&info);
    // The orders stay in the exchange file until the secondary program has
    // read them, so wait for it however long it takes.
    win::KernelHandle process(info.hProcess);
    if (process) ::WaitForSingleObject(process.get(), INFINITE);
    return started;
}
