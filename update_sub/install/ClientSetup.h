#pragma once
// The install of a downloaded client setup, from the first uninstall step to
// the setup's end, with the pending renames kept as they were before it.
#include <string>
#include <vector>

#include "environment/EnvironmentInfo.h"
#include "install/InstallContext.h"
#include "install/OptionTools.h"
#include "install/ProgramRunner.h"
#include "install/RegistryPlaces.h"
#include "paths/PathConstants.h"

// Below the common application-data folder: where the client setup is
// fetched to and run from, a folder that only SYSTEM and the Administrators
// may write. The setup runs with our rights and loads DLLs from its own
// folder before the system's, so a user must not be able to put one there.
inline constexpr auto CLIENT_SETUP_STAGING_SUBDIR = path_detail::Join(L"\\", TOOL_DIR, L"\\setupstaging");

// The orders and settings the install follows, as read at start.
struct InstallOrders {
    ProductVersion installed;  // [Velmo] of the exchange file; major 0: no client installed
    std::wstring uninstall;    // [Command] uninst
    std::wstring uninstallAll; // [Command] uninst_all
    std::wstring vbsFile;      // [APP] vbs_file of the settings file
};

enum class SetupResult {
    Ran,               // the setup was started and has ended
    NotStarted,        // the setup could not be started
    OldClientRemains,  // the client's INI file is still there: the setup was not run (K702)
};

struct InstallReport {
    // What was carried over; all true when there was no client to carry over.
    OptionToolProbe probe{true, true, false};
    bool stateWritten = true;
    std::vector<std::wstring> refused;  // uninstall orders and a script that were not run
    bool scriptRan = false;
    SetupResult setup = SetupResult::NotStarted;
};

// The setup's "/v" argument: with the version-up property when an earlier
// install was interrupted or this one removed the old client (state 1).
std::wstring SetupArguments(int installState);

// With an installed client: the option tools probed and their settings
// carried over, install state 1, the old client removed. Then MsiExec over
// uninst_all, the registry uninstallers and the script, and the pending
// renames put back. The setup runs only when the client's INI file
// (`clientIniPath`) is gone.
InstallReport InstallClient(ProgramRunner& runner, CInstallContext& context, const InstallOrders& orders,
                            const std::wstring& clientIniPath, const std::wstring& setupPath,
                            const RegistryPlaces& places = RegistryPlaces());
