#include "flow/DownloadOutcome.h"

#include "download/HttpClient.h"
#include "messages/UserMessages.h"

bool DownloadSucceeded(INT_PTR dialogResult, const DownloadResult& result) {
    return dialogResult == IDOK && result.error_category == DOWNLOAD_NO_ERROR && result.cancelled == 0 &&
           result.error_code != CHttpClient::kProxyGivenUp;
}

CString DownloadFailureText(const DownloadResult& result) {
    if (result.result == DOWNLOAD_TIMED_OUT) return ErrorText(K502);
    if (result.cancelled == 1 || result.error_code == CHttpClient::kProxyGivenUp) return DOWNLOAD_CANCELLED_TEXT;
    return DownloadErrorText(result.finished_count, result.error_code);
}
