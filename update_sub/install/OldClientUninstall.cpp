#include "install/OldClientUninstall.h"

#include "install/MsiUninstallEntries.h"
#include "install/RegistryUninstall.h"
#include "install/VersionOrder.h"
#include "qen_lib/file.h"

namespace {

// False when the system folder is unknown: never MsiExec by bare name.
bool RunMsiExec(ProgramRunner& runner, const std::wstring& arguments) {
    const std::wstring msiExec = SystemProgramPath(L"msiexec.exe");
    return !msiExec.empty() && RunAndWait(runner, msiExec, arguments);
}

// "C:\..." or "\\server\...": a relative or drive-relative name would be
// looked for in whatever folder is current.
bool IsFullPath(const std::wstring& path) {
    const bool driveRooted = path.size() > 2 && path[1] == L':' && path[2] == L'\\' &&
                             ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    return driveRooted || path.compare(0, 2, L"\\\\") == 0;
}

}  // namespace

bool UninstallOldClient(ProgramRunner& runner, const ProductVersion& installed, const std::wstring& uninstall,
                        const RegistryPlace& uninstallKeys, std::vector<std::wstring>& refused) {
    const auto installedOrder = VersionOrder(installed);
    if (installedOrder <= VersionOrder(2, 1, 0)) {
        RunRegistryUninstallers(runner, uninstallKeys, installedOrder == VersionOrder(2, 1, 0));
        return true;
    }
    const MsiUninstallEntries entries = SplitMsiUninstallEntries(uninstall);
    // The order names one product: one that holds more is refused whole.
    if (entries.arguments.size() + entries.refused.size() > 1) {
        refused.push_back(uninstall);
        return false;
    }
    if (!entries.refused.empty()) {
        refused.push_back(entries.refused.front());
        return false;
    }
    if (entries.arguments.empty()) return false;  // no order: MsiExec alone would wait for ever
    return RunMsiExec(runner, entries.arguments.front());
}

std::vector<std::wstring> RunMsiUninstalls(ProgramRunner& runner, const std::wstring& uninstallAll,
                                           const RegistryPlace& uninstallKeys) {
    const MsiUninstallEntries entries = SplitMsiUninstallEntries(uninstallAll);
    for (const std::wstring& arguments : entries.arguments) RunMsiExec(runner, arguments);
    RunRegistryUninstallers(runner, uninstallKeys, true);
    return entries.refused;
}

bool RunVbsFile(ProgramRunner& runner, const std::wstring& vbsFile) {
    // A quote would end the script's name early and let the rest of the
    // setting become wscript's own options.
    if (vbsFile.find(L'"') != std::wstring::npos || !IsFullPath(vbsFile) || !qen_lib::file::file_exists(vbsFile))
        return false;
    const std::wstring wscript = SystemProgramPath(L"wscript.exe");
    return !wscript.empty() && RunAndWait(runner, wscript, L"\"" + vbsFile + L"\"");
}
