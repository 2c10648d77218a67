#pragma once
// Copy, delete and rename through the shell, as the certificate folders are
// replaced. Each call runs one SHFileOperationW without any window: no
// progress, every question answered yes, and no error box, since an elevated
// program that nobody watches must never wait on a dialog. The result is the
// shell's code (0 for success) or a Win32 code of our own check.
#include <windows.h>
#include <shellapi.h>

#include <string>

// The shell call; tests hand in one that records what it was asked.
using ShellOperationCall = int(WINAPI*)(LPSHFILEOPSTRUCTW);

inline constexpr FILEOP_FLAGS SHELL_OPERATION_FLAGS = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;

// The longest path an operation takes: the shell's list buffer holds 520
// characters with the list's second terminator. A longer path is refused
// with ERROR_FILENAME_EXCED_RANGE, never cut to another path.
inline constexpr std::size_t SHELL_PATH_LIMIT = 519;

// Every source must exist, for a wildcard its folder: else the result is
// ERROR_PATH_NOT_FOUND, where the shell would report success for copying
// nothing.

// Copies `source` (a file, a folder, or a folder's "\*" or "\*.cer") into
// `targetFolder`.
int ShellCopyFiles(const std::wstring& source, const std::wstring& targetFolder,
                   ShellOperationCall call = ::SHFileOperationW);
bool ShellCopyFilesOk(const std::wstring& source, const std::wstring& targetFolder,
                      ShellOperationCall call = ::SHFileOperationW);

// Deletes `path` (wildcards allowed) for good, not into the recycle bin.
int ShellDeleteFiles(const std::wstring& path, ShellOperationCall call = ::SHFileOperationW);

// Renames `path` to path + ".rename" and back: proves that nothing holds the
// folder open before its files are deleted. 0 when both renames succeeded;
// else the first failure. When the first fails nothing has changed; the way
// back is tried a few times, since a scanner that looks at the renamed folder
// holds it only for a moment.
int ShellRenameRoundTrip(const std::wstring& path, ShellOperationCall call = ::SHFileOperationW);
