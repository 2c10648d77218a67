// Started by the auxiliary-application tests under a Windows version that
// they choose for it. Exit code: major * 1000 + minor * 10 of the Windows
// version it sees, plus 1 when the update gate lets an update through for the
// no-use flag path given as its argument.
#include <windows.h>

#include "auxapp/AuxAppUpdate.h"
#include "environment/EnvironmentInfo.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return -1;
    EnvironmentInfo env;
    if (!env.ReadOsVersion()) return -2;
    const int numbers[] = {static_cast<int>(env.os.major), static_cast<int>(env.os.minor)};
    const bool allowed = IsAuxAppUpdateAllowed(VersionNumber(numbers, numbers + 2), argv[1]);
    return numbers[0] * 1000 + numbers[1] * 10 + (allowed ? 1 : 0);
}
