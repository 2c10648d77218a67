#pragma once
// Whether a run of the progress dialog fetched its list, as both programs
// judge it.
#include <windows.h>

#include "download/DownloadList.h"

// The user cancelled (the time-out counts too) or gave up the proxy
// authentication.
bool DownloadCancelled(const DownloadResult& result);

// True when the dialog ended with OK and its result records no failed file
// and no cancel. A dialog that could not run at all fetched nothing.
bool DownloadSucceeded(INT_PTR dialogResult, const DownloadResult& result);
