#include "allowlist/FileBackup.h"

#include "environment/TimeStamp.h"
#include "qen_lib/file.h"
#include "qen_lib/fu_replace.h"
#include "win/win_result.h"

namespace {

constexpr wchar_t kSourceMissing[] = L"ファイルが存在しません：";
constexpr wchar_t kMoveFailed[] = L"ファイルの移動でエラーが発生しました：";
constexpr wchar_t kCopyFailed[] = L"ファイルのコピーでエラーが発生しました：";

OperationResult Failure(DWORD error, const std::wstring& message) {
    OperationResult result;
    result.status = 2;
    result.message = message;
    result.error = std::error_code(static_cast<int>(error), std::system_category());
    return result;
}

OperationResult Failure(DWORD error, const wchar_t* what, const std::wstring& from, const std::wstring& to) {
    return Failure(error, what + from + L"→" + to);
}

}  // namespace

std::wstring BackupFileName(const std::wstring& base, const std::wstring& extension, const SYSTEMTIME& time) {
    return base + L"." + TimeStampText(time) + extension;
}

OperationResult ReplaceFileWithBackup(const std::wstring& base, const std::wstring& extension,
                                      const std::wstring& source) {
    // SYSTEMTIME, not the C run-time's time_t: this 32-bit program must name
    // its backups right past 2038.
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return ReplaceFileWithBackup(base, extension, source, now);
}

OperationResult ReplaceFileWithBackup(const std::wstring& base, const std::wstring& extension,
                                      const std::wstring& source, const SYSTEMTIME& time) {
    if (!qen_lib::file::file_exists(source)) return Failure(ERROR_FILE_NOT_FOUND, kSourceMissing + source);
    const std::wstring target = base + extension;
    const std::wstring backup = BackupFileName(base, extension, time);

    // A missing folder shows up as the copy's failure.
    qen_lib::file::make_parent_dirs(target);
    // The old list is copied, not moved, to its backup, so that it stays
    // installed until the new one takes its place. An existing backup of
    // the same second is kept: the copy fails.
    const bool backedUp = qen_lib::file::file_exists(target);
    if (backedUp && !qen_lib::file::copy_file(target, backup)) {
        return Failure(GetLastError(), kMoveFailed, target, backup);
    }
    bool copied = false;
    const int error = FU_ReplaceFile(target, [&source, &copied](const std::wstring& fresh) {
        DeleteFileW(fresh.c_str());  // left over from a run that was cut short
        copied = qen_lib::file::copy_file(source, fresh);
        return copied ? 0 : static_cast<int>(qen_lib::last_error_or(ERROR_GEN_FAILURE));
    });
    if (error == 0) return OperationResult();
    // Nothing was replaced, so there is nothing to keep a backup of.
    if (backedUp) DeleteFileW(backup.c_str());
    if (!copied) return Failure(error, kCopyFailed, source, target);
    return Failure(error, kMoveFailed, FU_NewFilePath(target), target);
}
