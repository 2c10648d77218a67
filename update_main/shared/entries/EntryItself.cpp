#include "entries/EntryItself.h"

win::FileHandle OpenItself(const std::wstring& path, DWORD access, DWORD sharing) {
    return win::FileHandle(::CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

DWORD EntryAttributes(HANDLE entry, const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!::GetFileInformationByHandle(entry, &info)) return INVALID_FILE_ATTRIBUTES;
    return info.dwFileAttributes | ::GetFileAttributesW(path.c_str());
}

bool IsPlainFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsSameEntry(HANDLE one, HANDLE other) {
    BY_HANDLE_FILE_INFORMATION a = {}, b = {};
    return ::GetFileInformationByHandle(one, &a) && ::GetFileInformationByHandle(other, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

win::FileHandle HoldPlainFolder(const std::wstring& path) {
    win::FileHandle folder =
        OpenItself(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!folder || IsPlainFolder(EntryAttributes(folder.get(), path))) return folder;
    ::SetLastError(ERROR_CANT_RESOLVE_FILENAME);
    return {};
}
