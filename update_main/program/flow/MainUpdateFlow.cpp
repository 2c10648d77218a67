#include "startup/VelmoUpgradeToolApp.h"

#include <shellapi.h>

#include "commandline/RunMode.h"
#include "flow/SubCommand.h"
#include "process/ProcessWait.h"
#include "win/handle.h"

void CVelmoUpgradeToolApp::RunUpdateCheck(const wchar_t*) { ParseCommandLine(); }

BOOL CVelmoUpgradeToolApp::RunSubCommand(int isAdmin) {
    const CommandLineParts command = MakeSubCommandLine(m_store.GetSubCommand(), m_runMode);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    // Without administrator rights Windows asks for them; an administrator
    // runs it as is.
    info.lpVerb = isAdmin == 0 ? L"runas" : L"";
    info.lpFile = command.program;
    info.lpParameters = command.options.IsEmpty() ? nullptr : command.options.GetString();
    info.nShow = SW_SHOWNORMAL;
    const BOOL started = ::ShellExecuteExW(&info);
    // The orders stay in the exchange file until the secondary program has
    // read them, so wait for it however long it takes, answering our own
    // windows meanwhile.
    win::KernelHandle process(info.hProcess);
    if (process) WaitPumpingMessages(process.get());
    return started;
}
