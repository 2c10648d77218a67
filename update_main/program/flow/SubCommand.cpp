#include "flow/SubCommand.h"

#include "commandline/RunMode.h"

CommandLineParts MakeSubCommandLine(const CString& subCommand, int runMode) {
    CommandLineParts line = SplitCommandLine(subCommand);
    if (runMode == RUN_DOWNLOAD_PELMARCH) {
        if (!line.options.IsEmpty()) line.options += L' ';
        line.options += L"/download_pelmarch";
    }
    return line;
}
