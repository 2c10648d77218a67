#pragma once
// The outcome of an operation: status 0 for success, else a message and the
// system error behind it.
#include <string>
#include <system_error>

struct OperationResult {
    int status = 0;
    std::wstring message;
    std::error_code error;  // value 0, system category, when there is none
};
