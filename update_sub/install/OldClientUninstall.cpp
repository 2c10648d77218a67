#include "install/OldClientUninstall.h"

#include "install/MsiUninstallEntries.h"
#include "install/RegistryUninstall.h"
#include "install/VersionOrder.h"

namespace {

// False when the system folder is unknown: never MsiExec by bare name.
bool RunMsiExec(ProgramRunner& runner, const std::wstring& arguments) {
    const std::wstring msiExec = SystemProgramPath(L"msiexec.exe");
    return !msiExec.empty() && RunAndWait(runner, msiExec, arguments);
}

}  // namespace

bool UninstallOldClient(ProgramRunner& runner, const ProductVersion& installed, const std::wstring& uninstall,
                        const RegistryPlace& uninstallKeys, std::vector<std::wstring>& refused) {
    const auto installedOrder = VersionOrder(installed);
    if (installedOrder <= VersionOrder(2, 1, 0)) {
        RunRegistryUninstallers(runner, uninstallKeys, installedOrder == VersionOrder(2, 1, 0));
        return true;
    }
    // The order names one product and goes to MsiExec as it stands; one that
    // holds more, or anything else, is refused whole.
    if (IsMsiUninstall(uninstall)) return RunMsiExec(runner, uninstall);
    // A blank order is none: MsiExec alone would wait for ever.
    const MsiUninstallEntries entries = SplitMsiUninstallEntries(uninstall);
    if (!entries.arguments.empty() || !entries.refused.empty()) refused.push_back(uninstall);
    return false;
}

std::vector<std::wstring> RunMsiUninstalls(ProgramRunner& runner, const std::wstring& uninstallAll,
                                           const RegistryPlace& uninstallKeys) {
    const MsiUninstallEntries entries = SplitMsiUninstallEntries(uninstallAll);
    for (const std::wstring& arguments : entries.arguments) RunMsiExec(runner, arguments);
    RunRegistryUninstallers(runner, uninstallKeys, true);
    return entries.refused;
}
