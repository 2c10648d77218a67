#include "flow/DownloadOutcome.h"

#include "messages/UserMessages.h"

CString DownloadFailureText(const DownloadResult& result) {
    if (result.result == DOWNLOAD_TIMED_OUT) return ErrorText(K502);
    if (DownloadCancelled(result)) return DOWNLOAD_CANCELLED_TEXT;
    return DownloadErrorText(result.finished_count, result.error_code);
}
