#include "commandline/RunMode.h"

CommandLineOptions ParseArguments(const std::vector<std::wstring>& arguments) {
    CommandLineOptions options;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument == L"/called_service") {
            options.calledService = true;
        } else if (argument == L"/debug_env" || argument == L"/outputfile") {
            // accepted for the callers' sake; they change nothing
        } else if (argument == L"/download_pelmarch") {
            options.runMode = RUN_DOWNLOAD_PELMARCH;
        } else if (argument == L"/download_ob_white_list") {
            options.runMode = RUN_OB_WHITE_LIST;
        } else if (argument == L"/download_update_list_for_inin_info") {
            options.runMode = RUN_UPDATE_LIST_INFO;
        }
    }
    return options;
}
