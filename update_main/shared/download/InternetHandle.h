#pragma once
// Owner of one WinINet handle.
#include <windows.h>
#include <wininet.h>

#include "win/handle.h"

struct CloseInternet {
    void operator()(HINTERNET handle) const { ::InternetCloseHandle(handle); }
};
using InternetHandle = win::Unique<win::NullTraits<HINTERNET, nullptr, CloseInternet>>;
