#pragma once
// The orders of the exchange file that the secondary program carries out, as
// the main program wrote them. A user can write that file: every value here
// is checked again where it is used.
#include <string>

#include "environment/EnvironmentInfo.h"

struct ExchangeOrders {
    ProductVersion installed;  // [Velmo] major, minor, sub_minor (0 when absent) and ver
    std::wstring uninst;       // [Command] uninst: MsiExec arguments that remove the installed client
    std::wstring dURL;         // [Command] dURL: the new client setup's address; empty: none ordered
    std::wstring common;       // [Message] common, its "(NL)" marks as written
    bool cacerts = false;      // [Command] cacerts is exactly "1"
};
