// Stands for an installer in the process-runner tests: after a pause, so
// that only a runner that waits sees them, it writes two files beside
// itself, as UTF-16: the command line it was given (its own path with
// ".txt" appended) and the environment it got, each "NAME=value" ended by a
// NUL (".env.txt"). Beside itself: a program started with an environment
// made for it knows no variable of the test's.
#include <windows.h>

#include <cwchar>
#include <string>

#include "win/handle.h"

namespace {

bool WriteBeside(const std::wstring& path, const wchar_t* text, std::size_t chars) {
    const win::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), text, static_cast<DWORD>(chars * sizeof(wchar_t)), &written, nullptr);
}

std::size_t BlockChars(const wchar_t* block) {
    const wchar_t* end = block;
    while (*end) end += std::wcslen(end) + 1;
    return static_cast<std::size_t>(end - block);
}

}  // namespace

int wmain() {
    wchar_t self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 2;
    Sleep(500);
    const wchar_t* line = GetCommandLineW();
    wchar_t* environment = GetEnvironmentStringsW();
    const bool ok = WriteBeside(std::wstring(self) + L".txt", line, std::wcslen(line)) &&
                    WriteBeside(std::wstring(self) + L".env.txt", environment, BlockChars(environment));
    FreeEnvironmentStringsW(environment);
    return ok ? 0 : 4;
}
