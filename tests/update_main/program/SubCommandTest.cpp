// How the secondary program's command line from the settings file becomes
// the file to start and its parameters.
#include <gtest/gtest.h>

#include "commandline/RunMode.h"
#include "flow/SubCommand.h"

namespace {

struct SubCommandCase {
    const wchar_t* subCommand;
    int runMode;
    const wchar_t* file;
    const wchar_t* parameters;
};

const SubCommandCase kCases[] = {
    {L"C:\\Tool\\sub.exe", RUN_UPDATE_CHECK, L"C:\\Tool\\sub.exe", L""},
    {L"C:\\Tool\\sub.exe", RUN_DOWNLOAD_PELMARCH, L"C:\\Tool\\sub.exe", L"/download_pelmarch"},
    {L"C:\\Tool\\sub.exe /called_service", RUN_UPDATE_CHECK, L"C:\\Tool\\sub.exe", L"/called_service"},
    {L"C:\\Tool\\sub.exe /called_service", RUN_DOWNLOAD_PELMARCH, L"C:\\Tool\\sub.exe",
     L"/called_service /download_pelmarch"},
    {L"C:\\Program Files\\ZRV\\sub.exe /a /b", RUN_UPDATE_CHECK, L"C:\\Program Files\\ZRV\\sub.exe", L"/a /b"},
    // A "/" inside the path is part of it.
    {L"C:/Tool/sub.exe", RUN_UPDATE_CHECK, L"C:/Tool/sub.exe", L""},
    {L"", RUN_UPDATE_CHECK, L"", L""},
};

TEST(MakeSubCommandLine, SplitsTheProgramFromItsOptions) {
    for (const SubCommandCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.runMode);
        const CommandLineParts line = MakeSubCommandLine(c.subCommand, c.runMode);
        EXPECT_STREQ(line.program.GetString(), c.file);
        EXPECT_STREQ(line.options.GetString(), c.parameters);
    }
}

}  // namespace
