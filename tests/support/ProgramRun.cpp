#include "support/ProgramRun.h"

#include <tlhelp32.h>

#include <map>

namespace testing_support {

std::wstring BuildTreePath(const std::string& path) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), units);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return L"Z:" + wide;
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

bool IsStartedBy(DWORD processId, DWORD ancestorId) {
    const win::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return processId == ancestorId;
    std::map<DWORD, DWORD> parents;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        parents[entry.th32ProcessID] = entry.th32ParentProcessID;
    // Bounded, since a parent's number may have been given to a later process.
    for (size_t step = 0; step <= parents.size(); ++step) {
        if (processId == ancestorId) return true;
        const auto parent = parents.find(processId);
        if (parent == parents.end() || parent->second == 0) return false;
        processId = parent->second;
    }
    return false;
}

}  // namespace testing_support
