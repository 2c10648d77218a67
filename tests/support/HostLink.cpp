#include "support/HostLink.h"

#include <windows.h>
#include <winternl.h>

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

}  // namespace

bool MakeHostLink(const std::wstring& link, const std::wstring& target) {
    const auto spawn = reinterpret_cast<UnixSpawn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    std::string hostTarget = HostPath(target), hostLink = HostPath(link);
    if (!spawn || hostTarget.empty() || hostLink.empty()) return false;
    char ln[] = "ln", symbolic[] = "-s";
    char* const argv[] = {ln, symbolic, hostTarget.data(), hostLink.data(), nullptr};
    if (spawn(argv, TRUE) != 0) return false;
    const DWORD attributes = GetFileAttributesW(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
