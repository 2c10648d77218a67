#include "install/ClientInit.h"

#include <cwchar>

#include "environment/VersionNumber.h"
#include "fileops/ClientFolder.h"
#include "qen_lib/file.h"

bool IsClientInitDue(const std::wstring& versionText) {
    std::wstring majorText, rest, minorText, ignored;
    SplitAtFirst(versionText, L'.', majorText, rest);
    SplitAtFirst(rest, L'.', minorText, ignored);
    const long major = std::wcstol(majorText.c_str(), nullptr, 10);
    const long minor = std::wcstol(minorText.c_str(), nullptr, 10);
    return major > 6 || (major == 6 && minor >= 2);
}

bool LaunchClientInit(ProgramRunner& runner, EnvironmentInfo& environment, const std::wstring& clientIni) {
    environment.ReadInstalledVersion(clientIni);
    if (environment.directory.empty()) return false;
    // Held while it runs: it runs with our rights, by name in that folder.
    HeldFolder client;
    if (!HoldClientFolder(environment.directory, client)) return false;
    const std::wstring program = environment.directory + L"\\VelmoInit.exe";
    return qen_lib::file::file_exists(program) && RunAndWait(runner, program, L"");
}
