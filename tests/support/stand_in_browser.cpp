// stand_in_browser RECORD ADDRESS
// Stands in for the web browser that an https address starts: writes the id
// of the process that started it, a line break and the address into RECORD
// (UTF-16), whole or not at all, and ends.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <string>

#include "win/handle.h"

namespace {

DWORD ParentId() {
    const win::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        if (entry.th32ProcessID == GetCurrentProcessId()) return entry.th32ParentProcessID;
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (__argc != 3) return 2;
    const std::wstring record = __wargv[1];
    const std::wstring text = std::to_wstring(ParentId()) + L"\n" + __wargv[2];
    const std::wstring part = record + L".part";
    {
        const win::FileHandle file(
            CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (!file || !WriteFile(file.get(), text.data(), size, &written, nullptr) || written != size) return 1;
    }
    return MoveFileW(part.c_str(), record.c_str()) ? 0 : 1;
}
