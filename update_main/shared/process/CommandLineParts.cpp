#include "process/CommandLineParts.h"

CommandLineParts SplitCommandLine(const CString& commandLine) {
    const int options = commandLine.Find(L" /");
    if (options < 2) return {commandLine, CString()};
    return {commandLine.Left(options), commandLine.Mid(options + 1)};
}
