#include "support/ProgramRun.h"

namespace testing_support {

std::wstring BuildTreePath(const std::string& path) {
    std::wstring windowsPath = L"Z:";
    for (const char c : path) windowsPath += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return windowsPath;
}

RunningProgram::~RunningProgram() {
    if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
    }
}

RunningProgram StartProgram(const std::wstring& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    RunningProgram run;
    if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        run.process.reset(started.hProcess);
        win::KernelHandle thread(started.hThread);
        run.processId = started.dwProcessId;
    }
    return run;
}

DWORD WaitForExit(const RunningProgram& run, DWORD timeoutMs) {
    if (WaitForSingleObject(run.process.get(), timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(run.process.get(), &code);
    return code;
}

}  // namespace testing_support
