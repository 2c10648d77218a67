#pragma once
// What one run of the main program does, chosen by its command line.
#include <string>
#include <vector>

enum RunMode {
    RUN_UPDATE_CHECK = 0,         // no option: the full update check
    RUN_DOWNLOAD_PELMARCH = 1,    // "/download_pelmarch"
    RUN_OB_WHITE_LIST = 2,        // "/download_ob_white_list"
    RUN_UPDATE_LIST_INFO = 3,     // "/download_update_list_for_inin_info"
};

struct CommandLineOptions {
    int runMode = RUN_UPDATE_CHECK;
    bool calledService = false;  // "/called_service": a silent run started by another program
};

// Options are matched whole and case-sensitively; the first argument is the
// program and is skipped. A later run-mode option overrides an earlier one;
// anything unknown is ignored.
CommandLineOptions ParseArguments(const std::vector<std::wstring>& arguments);
