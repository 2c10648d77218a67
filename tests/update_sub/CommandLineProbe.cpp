// Stands for an installer in the process-runner tests: after a pause, so
// that only a runner that waits sees the file, it writes the command line it
// was given, as UTF-16, to the file that VUT_PROBE_OUT names.
#include <windows.h>

#include <cwchar>

int wmain() {
    wchar_t out[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VUT_PROBE_OUT", out, MAX_PATH) == 0) return 2;
    Sleep(500);
    const wchar_t* line = GetCommandLineW();
    HANDLE file = CreateFileW(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, line, static_cast<DWORD>(std::wcslen(line) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 4;
}
