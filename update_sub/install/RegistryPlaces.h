#pragma once
// The registry keys the install driver reads and changes. The program uses
// the system's; tests point the driver at keys of their own.
#include <windows.h>

#include <string>

struct RegistryPlace {
    HKEY root;
    std::wstring path;
};

struct RegistryPlaces {
    // Parent of the older clients' uninstall keys.
    RegistryPlace uninstallKeys{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"};
    // Holder of PendingFileRenameOperations.
    RegistryPlace sessionManager{HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager"};
};
