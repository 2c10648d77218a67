#include "support/HostLink.h"

#include <windows.h>
#include <winternl.h>

#include <string>
#include <vector>

namespace {

// Wine's own exports: a host path for a Windows one, and a host program run.
using UnixFileName = char*(CDECL*)(const wchar_t*);
using UnixSpawn = NTSTATUS(WINAPI*)(char* const* argv, int wait);

std::string HostPath(const std::wstring& path) {
    const auto convert = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = convert ? convert(path.c_str()) : nullptr;
    if (!name) return {};
    std::string text(name);
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

// Runs a host program on the arguments and waits for it; false when this
// is no Wine or the program fails.
bool RunHost(std::vector<std::string> arguments) {
    const auto spawn = reinterpret_cast<UnixSpawn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    if (!spawn) return false;
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return spawn(argv.data(), TRUE) == 0;
}

// `ln` with the kind's flag ("-s" symbolic, "-P" hard) on the host.
bool LinkOnHost(const std::wstring& link, const std::wstring& target, const char* kind) {
    const std::string hostTarget = HostPath(target), hostLink = HostPath(link);
    return !hostTarget.empty() && !hostLink.empty() && RunHost({"ln", kind, hostTarget, hostLink});
}

}  // namespace

bool IsLink(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeHostLink(const std::wstring& link, const std::wstring& target) {
    return LinkOnHost(link, target, "-s") && IsLink(link);
}

bool MakeHostFileLink(const std::wstring& link, const std::wstring& target, bool hard) {
    return LinkOnHost(link, target, hard ? "-P" : "-s") && GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveHostLink(const std::wstring& link) {
    const std::string hostLink = HostPath(link);
    return !hostLink.empty() && RunHost({"rm", "-f", hostLink}) && !IsLink(link);
}

bool MoveOnHost(const std::wstring& from, const std::wstring& to) {
    const std::string hostFrom = HostPath(from), hostTo = HostPath(to);
    return !hostFrom.empty() && !hostTo.empty() && RunHost({"mv", "-T", hostFrom, hostTo});
}
