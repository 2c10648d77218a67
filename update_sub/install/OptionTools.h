#pragma once
// The client's option tools, looked for before the old client goes, and the
// settings carried over into the tool folder so that the new client's setup
// can take them up.
#include <string>

#include "environment/EnvironmentInfo.h"
#include "install/InstallContext.h"

struct OptionToolProbe {
    bool iniCopied = false;        // the client's INI file copied into the tool folder
    bool propertiesSaved = false;  // its ".properties" file copied there
    bool zavaZuvazFound = false;   // the ZavaZuvaz option pack is installed
};

// Looks for the e-Tax tool and the ZavaZuvaz pack (whose program depends on
// the installed version), copies the client's INI file (`clientIniPath`) and
// ".properties" into the tool folder and writes both findings there.
OptionToolProbe ProbeOptionTools(CInstallContext& context, const ProductVersion& installed,
                                 const std::wstring& clientIniPath);
