#include "support/linux_link.h"

#include <windows.h>

#include "support/ProgramRun.h"

namespace testing_support {

namespace {

// Wine's own export, absent on Windows: the Unix name of a Windows path;
// "" without it.
std::wstring UnixPath(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    if (!unix) return std::wstring();
    const int units = MultiByteToWideChar(CP_UTF8, 0, unix, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, unix, -1, wide.data(), units);
    HeapFree(GetProcessHeap(), 0, unix);
    wide.resize(wide.size() - 1);
    return wide;
}

// Wine starts Linux programs too, but gives no handle of their process:
// the caller waits for what the program does instead, up to five seconds.
template <class Done>
void RunLinux(const char* program, const std::wstring& arguments, Done done) {
    StartProgram(BuildTreePath(program), arguments);
    for (int waited = 0; !done() && waited < 5000; waited += 20) Sleep(20);
}

}  // namespace

LinuxLink::LinuxLink(const std::wstring& link, const std::wstring& target) : m_link(link), m_unixLink(UnixPath(link)) {
    const std::wstring unixTarget = UnixPath(target);
    if (!m_unixLink.empty() && !unixTarget.empty())
        RunLinux("/bin/ln", L"-s \"" + unixTarget + L"\" \"" + m_unixLink + L"\"", [this] { return Made(); });
}

LinuxLink::~LinuxLink() {
    if (!m_unixLink.empty()) RunLinux("/bin/rm", L"-f \"" + m_unixLink + L"\"", [this] { return !Made(); });
}

bool LinuxLink::Made() const {
    const DWORD attributes = GetFileAttributesW(m_link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace testing_support
