#pragma once
// Installing a new copy of a file while keeping the old one under a
// time-stamped backup name beside it.
#include <windows.h>

#include <string>

#include "vornpath/async/OperationResult.h"

// base, ".", the time as yyyyMMddHHmmss, extension: for the base
// ...\whitelist\ObWhiteList, ".txt" and 8 December 2026 09:05:03 the name
// ...\whitelist\ObWhiteList.20261208090503.txt.
std::wstring BackupFileName(const std::wstring& base, const std::wstring& extension, const SYSTEMTIME& time);

// Puts a copy of source in place of base + extension; an existing file there
// is kept under BackupFileName for the local time. The copy is put in place
// by the durable replace (qen_lib/fu_replace.h), so the target is at every
// moment, a power loss included, either the whole old file or the whole new
// one; on any failure the target is as it was, and neither the new file nor
// a backup of this call is left.
// status 0; or 2 with the message of the failure and its system error:
// source missing (ERROR_FILE_NOT_FOUND), copy failed, backup failed (also
// when a backup of that second exists), or the final rename failed.
OperationResult ReplaceFileWithBackup(const std::wstring& base, const std::wstring& extension,
                                      const std::wstring& source);
// The same at the given time.
OperationResult ReplaceFileWithBackup(const std::wstring& base, const std::wstring& extension,
                                      const std::wstring& source, const SYSTEMTIME& time);
