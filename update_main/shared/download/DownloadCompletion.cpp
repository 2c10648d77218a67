#include "download/DownloadCompletion.h"

#include "download/HttpClient.h"

bool DownloadCancelled(const DownloadResult& result) {
    return result.cancelled == 1 || result.error_code == CHttpClient::kProxyGivenUp;
}

bool DownloadSucceeded(INT_PTR dialogResult, const DownloadResult& result) {
    return dialogResult == IDOK && result.error_category == DOWNLOAD_NO_ERROR && result.cancelled == 0 &&
           result.error_code != CHttpClient::kProxyGivenUp;
}
