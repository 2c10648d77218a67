#include "flow/SubCommand.h"

#include "commandline/RunMode.h"
#include "process/CommandLineParts.h"

SubCommandLine MakeSubCommandLine(const CString& subCommand, int runMode) {
    const CommandLineParts parts = SplitCommandLine(subCommand);
    SubCommandLine line{parts.program, parts.options};
    if (runMode == RUN_DOWNLOAD_PELMARCH) {
        if (!line.parameters.IsEmpty()) line.parameters += L' ';
        line.parameters += L"/download_pelmarch";
    }
    return line;
}
