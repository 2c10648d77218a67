#include "install/PendingRenames.h"

#include "win/handle.h"
#include "win/win_result.h"

namespace {

constexpr wchar_t kValueName[] = L"PendingFileRenameOperations";

DWORD ReadValue(HKEY key, PendingRenameBackup& backup) {
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, kValueName, nullptr, &backup.type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;  // absent: deleted again on restore
    if (status != ERROR_SUCCESS) return static_cast<DWORD>(status);
    backup.data.assign(size, 0);
    // A value that grew since its size was taken fails the save with
    // ERROR_MORE_DATA: nothing is then put back, rather than a part of it.
    status = RegQueryValueExW(key, kValueName, nullptr, &backup.type, backup.data.data(), &size);
    if (status != ERROR_SUCCESS) return static_cast<DWORD>(status);
    backup.data.resize(size);
    backup.present = true;
    return ERROR_SUCCESS;
}

DWORD WriteBack(HKEY key, const PendingRenameBackup& backup) {
    if (!backup.present) {
        const LONG status = RegDeleteValueW(key, kValueName);
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : static_cast<DWORD>(status);
    }
    return static_cast<DWORD>(RegSetValueExW(key, kValueName, 0, backup.type, backup.data.data(),
                                             static_cast<DWORD>(backup.data.size())));
}

DWORD OpenSessionManager(const RegistryPlaces& places, REGSAM access, win::RegKey& key) {
    return static_cast<DWORD>(RegOpenKeyExW(places.sessionManager.root, places.sessionManager.path.c_str(), 0,
                                            access, key.put()));
}

}  // namespace

bool SavePendingRenames(PendingRenameBackup& backup, const RegistryPlaces& places) {
    backup = PendingRenameBackup();
    DWORD error = ERROR_SUCCESS;
    {
        win::RegKey key;
        error = OpenSessionManager(places, KEY_QUERY_VALUE, key);
        if (error == ERROR_SUCCESS) error = ReadValue(key.get(), backup);
    }
    if (error != ERROR_SUCCESS) backup = PendingRenameBackup();
    backup.saved = error == ERROR_SUCCESS;
    return qen_lib::report(error);
}

bool RestorePendingRenames(const PendingRenameBackup& backup, const RegistryPlaces& places) {
    if (!backup.saved) return true;
    DWORD error = ERROR_SUCCESS;
    {
        win::RegKey key;
        error = OpenSessionManager(places, KEY_SET_VALUE, key);
        if (error == ERROR_SUCCESS) error = WriteBack(key.get(), backup);
    }
    return qen_lib::report(error);
}
