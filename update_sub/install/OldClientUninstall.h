#pragma once
// Removing what came before the new client: the installed client itself,
// every product of the uninstall orders through MsiExec, and the older
// products through their registry uninstall strings. MsiExec is started from
// the system folder by full path.
#include <string>
#include <vector>

#include "environment/EnvironmentInfo.h"
#include "install/ProgramRunner.h"
#include "install/RegistryPlaces.h"

// A client up to 2.1.0 through the registry uninstallers ("ZRV Velmo" with
// " /uninst" for exactly 2.1.0); a later one through MsiExec with the order
// [Command] uninst as it stands. An order that is no MsiExec uninstall of
// one product is not run and is added to `refused`; an empty one runs
// nothing. False when MsiExec did not run.
bool UninstallOldClient(ProgramRunner& runner, const ProductVersion& installed, const std::wstring& uninstall,
                        const RegistryPlace& uninstallKeys, std::vector<std::wstring>& refused);

// MsiExec for each good entry of [Command] uninst_all in order, "/passive"
// dropped and "/q" added, then the four registry uninstallers. Returns the entries that were refused.
std::vector<std::wstring> RunMsiUninstalls(ProgramRunner& runner, const std::wstring& uninstallAll,
                                           const RegistryPlace& uninstallKeys);
