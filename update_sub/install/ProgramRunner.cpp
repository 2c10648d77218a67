#include "install/ProgramRunner.h"

#include <windows.h>

#include <vector>

#include "process/CommandLineParts.h"
#include "process/ProcessSetup.h"
#include "process/ProcessWait.h"
#include "win/handle.h"

bool ProcessRunner::RunCommandLineAndWait(const std::wstring& commandLine) {
    if (m_environment.empty()) {
        ::SetLastError(ERROR_BAD_ENVIRONMENT);
        return false;
    }
    // CreateProcessW may write into the command line: give it a copy.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        m_environment.data(), nullptr, &startup, &started))
        return false;
    const win::KernelHandle process(started.hProcess);
    const win::KernelHandle thread(started.hThread);
    WaitPumpingMessages(process.get());
    return true;
}

std::wstring MakeCommandLine(const std::wstring& program, const std::wstring& arguments) {
    std::wstring line;
    if (program.empty() || program[0] == L'"') {
        line = program;
    } else {
        const CommandLineParts parts = SplitCommandLine(program);
        line = L"\"" + parts.program.str() + L"\"";
        if (!parts.options.IsEmpty()) line += L" " + parts.options.str();
    }
    return line + L" " + arguments;
}

bool RunAndWait(ProgramRunner& runner, const std::wstring& program, const std::wstring& arguments) {
    return runner.RunCommandLineAndWait(MakeCommandLine(program, arguments));
}

std::wstring SystemProgramPath(const wchar_t* fileName) {
    const std::wstring folder = SystemFolder();
    return folder.empty() ? std::wstring() : folder + L"\\" + fileName;
}
