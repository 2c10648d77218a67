#include "fileops/EntryAttributes.h"

DWORD EntryAttributes(HANDLE entry, const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!::GetFileInformationByHandle(entry, &info)) return INVALID_FILE_ATTRIBUTES;
    return info.dwFileAttributes | ::GetFileAttributesW(path.c_str());
}

bool IsPlainFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
