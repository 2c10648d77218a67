#pragma once
// What a failed run of the progress dialog tells the user of the update check.
#include "download/DownloadCompletion.h"
#include "framework/CString.h"

// The text of a run that did not fetch everything: K502 after the time-out,
// the cancel text (no footer) after a cancel or a given-up proxy
// authentication, else the error of the failing file by its list position
// with the detail code.
CString DownloadFailureText(const DownloadResult& result);
