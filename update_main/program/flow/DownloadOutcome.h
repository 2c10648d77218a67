#pragma once
// What a run of the progress dialog comes to for the update check.
#include <windows.h>

#include "download/DownloadList.h"
#include "framework/CString.h"

// True when the dialog ended with OK and its result records no failed file,
// no cancel and no given-up proxy authentication. A dialog that could not
// run at all fetched nothing.
bool DownloadSucceeded(INT_PTR dialogResult, const DownloadResult& result);

// The text of a run that did not fetch everything: K502 after the time-out,
// the cancel text (no footer) after a cancel or a given-up proxy
// authentication, else the error of the failing file by its list position
// with the detail code.
CString DownloadFailureText(const DownloadResult& result);
