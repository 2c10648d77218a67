#pragma once
// The time to the second as fourteen digits, yyyymmddhhmmss, for names that
// sort by when they were made. From a SYSTEMTIME, never the C run-time's
// time_t: the 32-bit programs must name their files right past 2038.
#include <windows.h>

#include <string>

std::wstring TimeStampText(const SYSTEMTIME& time);
