#include "environment/TimeStamp.h"

#include <cwchar>

std::wstring TimeStampText(const SYSTEMTIME& time) {
    wchar_t text[16] = {};
    std::swprintf(text, sizeof text / sizeof text[0], L"%04u%02u%02u%02u%02u%02u", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
    return text;
}
