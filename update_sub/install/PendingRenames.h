#pragma once
// PendingFileRenameOperations kept out of the uninstallers' hands: saved
// before the first uninstall step and put back, byte for byte and with the
// type it had, before the new client's setup runs. What the uninstallers
// scheduled for the next restart is dropped; what the setup schedules stays.
// Errors go to the thread's last error.
#include <windows.h>

#include <vector>

#include "install/RegistryPlaces.h"

struct PendingRenameBackup {
    bool saved = false;   // a save succeeded; a restore does nothing without one
    bool present = false; // the value existed when it was saved
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Reads the value of `place` (the Session Manager key in the program) into
// the backup; false and the backup unsaved on an error.
bool SavePendingRenames(PendingRenameBackup& backup, const RegistryPlaces& places = RegistryPlaces());

// Writes the saved value back as it was, or deletes the value when there was
// none (a value that is already gone counts as deleted). True, nothing done,
// when nothing was saved.
bool RestorePendingRenames(const PendingRenameBackup& backup, const RegistryPlaces& places = RegistryPlaces());
