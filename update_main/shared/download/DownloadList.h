#pragma once
// What the progress dialog fetches, and what it leaves for its owner.
#include <vector>

#include "framework/CString.h"

struct DownloadItem {
    CString url;
    CString path;  // the local file that receives the body
};

// Fetched front to back; the position of an item tells the owner which file
// failed.
using DownloadList = std::vector<DownloadItem>;

// DownloadResult::error_category
enum DownloadErrorCategory {
    DOWNLOAD_NO_ERROR = 0,          // also a given-up proxy authentication (error_code 9999)
    DOWNLOAD_REQUEST_FAILED = 100,  // error_code: HTTP status or Win32 / WinINet error of the request
    DOWNLOAD_READ_FAILED = 300,     // error_code: error of reading the body or writing the file
};

// DownloadResult::result
enum DownloadRunResult {
    DOWNLOAD_DONE = 0,       // every file fetched, or cancelled by the user (cancelled 1)
    DOWNLOAD_FAILED = 1,     // a file failed
    DOWNLOAD_TIMED_OUT = 2,  // the time-out ended the run (cancelled 1)
};

struct DownloadResult {
    int error_code = 0;
    // Files finished; after a failure, the index of the failing file.
    int finished_count = 0;
    int error_category = DOWNLOAD_NO_ERROR;
    int result = DOWNLOAD_DONE;
    // 1 once the run was cancelled, by the user or by the time-out.
    int cancelled = 0;
};
