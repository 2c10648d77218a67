#include "fileops/OpenedEntry.h"

#include <algorithm>
#include <string>
#include <vector>

#include "entries/EntryItself.h"
#include "win/handle.h"

namespace {

// "\\?\C:\a" as "C:\a", "\\?\UNC\server\a" as "\\server\a".
std::wstring WithoutLongPathPrefix(const std::wstring& path) {
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

}  // namespace

bool IsPlainFile(HANDLE entry) {
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!::GetFileInformationByHandle(entry, &info)) return false;
    const DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    return (info.dwFileAttributes & notPlain) == 0 && info.nNumberOfLinks == 1;
}

std::wstring FinalPath(HANDLE entry) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
        const DWORD length = ::GetFinalPathNameByHandleW(entry, &path[0], static_cast<DWORD>(path.size()), flags);
        if (length == 0) return std::wstring();
        const bool fitted = length < path.size();
        path.resize(length);  // when it did not fit: the size it needs
        if (fitted) return WithoutLongPathPrefix(path);
    }
}

bool LeadsElsewhere(HANDLE entry, const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L'\\');
    if (separator == std::wstring::npos) return true;
    const win::FileHandle folder =
        OpenItself(path.substr(0, separator), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    const std::wstring there = folder ? FinalPath(folder.get()) + path.substr(separator) : std::wstring();
    const std::wstring opened = FinalPath(entry);
    return there.empty() || opened.empty() ||
           ::CompareStringOrdinal(there.c_str(), -1, opened.c_str(), -1, TRUE) != CSTR_EQUAL;
}

bool IsPlainFileAt(HANDLE entry, const std::wstring& path) {
    return IsPlainFile(entry) && !LeadsElsewhere(entry, path);
}

bool RenameOpened(HANDLE entry, const std::wstring& newPath, bool replace) {
    const std::wstring name = L"\\??\\" + newPath;
    const std::size_t nameBytes = name.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(name.begin(), name.end(), info->FileName);
    return ::SetFileInformationByHandle(entry, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != FALSE;
}
