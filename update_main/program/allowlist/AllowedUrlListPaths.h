#pragma once
// The files of the allowed-URL merge. The defaults are the places on this PC;
// tests hand in folders of their own.
#include <string>

struct AllowedUrlListPaths {
    std::wstring installedList;  // the server's list as we installed it last
    std::wstring auxList;        // the auxiliary application's own list
    std::wstring addedRecord;    // which entries of auxList we put there
};

// Below %ProgramData%: the installed list in the tool's data folder, the
// auxiliary application's list in its prop folder, the record in the
// client's whitelist folder.
AllowedUrlListPaths DefaultAllowedUrlListPaths();
