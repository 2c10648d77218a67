#include "install/ClientSetup.h"

#include "install/DeploymentScript.h"
#include "install/OldClientUninstall.h"
#include "install/PendingRenames.h"
#include "qen_lib/file.h"

std::wstring SetupArguments(int installState) {
    return installState == 1 ? L"/v\"VELMO_VERSION_UP=1 DO_NOT_LAUNCH_VELMO_INIT=1\""
                             : L"/v\"DO_NOT_LAUNCH_VELMO_INIT=1\"";
}

InstallReport InstallClient(ProgramRunner& runner, CInstallContext& context, const InstallOrders& orders,
                            const std::wstring& clientIniPath, const std::wstring& setupPath,
                            const RegistryPlaces& places) {
    InstallReport report;
    PendingRenameBackup renames;
    SavePendingRenames(renames, places);
    if (orders.installed.major != 0) {
        report.probe = ProbeOptionTools(context, orders.installed, clientIniPath);
        report.stateWritten = context.SetInstallState(1);
        UninstallOldClient(runner, orders.installed, orders.uninstall, places.uninstallKeys, report.refused);
    }
    const std::vector<std::wstring> refused = RunMsiUninstalls(runner, orders.uninstallAll, places.uninstallKeys);
    report.refused.insert(report.refused.end(), refused.begin(), refused.end());
    context.GetBaseFolder();
    report.scriptRan = RunVbsFile(runner, orders.vbsFile, context.DataFolder(), report.refused);
    RestorePendingRenames(renames, places);

    // The uninstallers' one promise is that the INI file goes with the client.
    if (qen_lib::file::file_exists(clientIniPath)) {
        report.setup = SetupResult::OldClientRemains;
        return report;
    }
    report.setup = RunAndWait(runner, setupPath, SetupArguments(context.GetInstallState())) ? SetupResult::Ran
                                                                                               : SetupResult::NotStarted;
    return report;
}
