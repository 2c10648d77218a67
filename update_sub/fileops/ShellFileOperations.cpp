#include "fileops/ShellFileOperations.h"

namespace {

// How often the rename back is tried, and the pause between the tries.
constexpr int kRenameBackTries = 5;
constexpr DWORD kRenameBackPauseMs = 200;

// One path as the shell's list of paths: the path and a second terminator.
// False, with the error, when the path cannot be one entry of its own: too
// long (it would be cut to another path), empty, or holding a NUL (it would
// become two).
bool MakePathList(const std::wstring& path, std::wstring& list, int& error) {
    if (path.size() > SHELL_PATH_LIMIT) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    if (path.empty() || path.find(L'\0') != std::wstring::npos) {
        error = ERROR_INVALID_NAME;
        return false;
    }
    list = path;
    list.push_back(L'\0');  // c_str() adds the last one
    return true;
}

// The folder that must exist for the source to exist: the folder part of a
// wildcard, else the path itself.
bool SourceExists(const std::wstring& source) {
    const std::size_t lastSeparator = source.find_last_of(L"\\/");
    const std::size_t wildcard = source.find_first_of(L"*?");
    if (wildcard == std::wstring::npos) return GetFileAttributesW(source.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (lastSeparator == std::wstring::npos || wildcard < lastSeparator) return false;
    const DWORD attributes = GetFileAttributesW(source.substr(0, lastSeparator).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int RunShellOperation(UINT operation, const std::wstring& from, const std::wstring* to, ShellOperationCall call) {
    std::wstring fromList, toList;
    int error = 0;
    if (!MakePathList(from, fromList, error) || (to && !MakePathList(*to, toList, error))) return error;
    // The shell reports success for a source that is not there: nothing
    // copied must not read as copied.
    if (!SourceExists(from)) return ERROR_PATH_NOT_FOUND;
    SHFILEOPSTRUCTW op = {};
    op.wFunc = operation;
    op.pFrom = fromList.c_str();
    op.pTo = to ? toList.c_str() : nullptr;
    op.fFlags = SHELL_OPERATION_FLAGS;
    const int result = call(&op);
    // Without a window nobody can cancel; should the shell still say it
    // stopped part way, that is no success.
    if (result == 0 && op.fAnyOperationsAborted) return ERROR_CANCELLED;
    return result;
}

}  // namespace

int ShellCopyFiles(const std::wstring& source, const std::wstring& targetFolder, ShellOperationCall call) {
    return RunShellOperation(FO_COPY, source, &targetFolder, call);
}

bool ShellCopyFilesOk(const std::wstring& source, const std::wstring& targetFolder, ShellOperationCall call) {
    return ShellCopyFiles(source, targetFolder, call) == 0;
}

int ShellDeleteFiles(const std::wstring& path, ShellOperationCall call) {
    return RunShellOperation(FO_DELETE, path, nullptr, call);
}

int ShellRenameRoundTrip(const std::wstring& path, ShellOperationCall call) {
    const std::wstring renamed = path + L".rename";
    // Both names must fit before anything is renamed.
    if (renamed.size() > SHELL_PATH_LIMIT) return ERROR_FILENAME_EXCED_RANGE;
    const int there = RunShellOperation(FO_RENAME, path, &renamed, call);
    if (there != 0) return there;
    int back = 0;
    for (int attempt = 0; attempt < kRenameBackTries; ++attempt) {
        if (attempt > 0) Sleep(kRenameBackPauseMs);
        back = RunShellOperation(FO_RENAME, renamed, &path, call);
        if (back == 0) break;
    }
    return back;
}
