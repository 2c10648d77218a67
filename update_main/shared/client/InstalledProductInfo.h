#pragma once
// What the client's own INI file, ZRVCAVelmo.ini in the Windows folder, says
// about its installation. The client's installer writes it; we only read it.
#include <string>

struct InstalledProductInfo {
    std::wstring version;        // ZRVVelmoVersion
    std::wstring directory;      // Directory
    std::wstring jre_version;    // JREVersion
    std::wstring jre_directory;  // JREDirectory
};

// Load status of LoadInstalledProductInfo.
enum InstalledProductStatus {
    kProductInfoRead = 0,
    kProductIniMissing = 1,    // no such file (a folder does not count), or no path
    kProductInfoUnusable = 2,  // version or folder absent or empty, or a value longer than 1039 characters
};

// A non-empty path unchanged; for an empty one the client's INI file in the
// Windows folder, or "" when the Windows folder cannot be had.
std::wstring GetInstalledProductIniPath(const std::wstring& path);

// The four values of [ZRVCAVelmo]; an empty record unless status is
// kProductInfoRead.
InstalledProductInfo LoadInstalledProductInfo(const std::wstring& path, int& status);

// As LoadInstalledProductInfo, with one trailing backslash taken off the
// folder; ok tells whether the file could be read.
InstalledProductInfo ReadInstalledProductInfo(const std::wstring& path, bool& ok);
