#pragma once
// A stand-in web browser, registered as the prefix's program for https
// addresses for the time of a test (the programs' support link is one): it
// records which process started it and what it was asked to open. Tests
// that use it take the `https_handler` lock.
#include <windows.h>

#include <string>

#include "support/RegistryValueScope.h"
#include "support/temp_folder.h"

namespace testing_support {

struct BrowserStart {
    DWORD parentId = 0;  // the process that started it; 0: none started
    std::wstring address;
};

class StandInBrowser {
public:
    StandInBrowser();

    // Its first start, waited for up to `timeoutMs`.
    BrowserStart WaitForStart(DWORD timeoutMs) const;

private:
    TempFolder m_folder;
    RegistryValueScope m_command;
};

}  // namespace testing_support
