#pragma once
// Before anything is downloaded: is the update tool's own installation whole?
// The data folder, the settings file and the exchange file must exist, the
// settings file must name the client's main program, the secondary program,
// the script and the database address, and the three programs must exist.
// A broken installation is reported as K806 to K810 (repair the tool).
#include <windows.h>

#include "framework/CString.h"
#include "profile/IniProfile.h"

class InstallationCheck {
public:
    // Below the common application-data folder as Windows gives it.
    InstallationCheck();
    // Below the folder that `baseFolder` gives.
    explicit InstallationCheck(FolderSource baseFolder);

    // True when the installation is whole; else the error text of the first
    // failure by precedence (K806, K807, K808, K809, K810) replaces `message`.
    // Without a common application-data folder: false, ERROR_FILE_NOT_FOUND,
    // message untouched. When the run owns the orders (it holds the
    // single-instance block), blanks the client-download order [Command]
    // dURL first, so that no order of an earlier run survives an early stop;
    // otherwise the orders may be another run's and stay as they are.
    bool CheckInstallation(CString& message, bool ownsOrders);

    // The single tests; nonzero when they pass.
    BOOL ReadMainCommand();
    BOOL ReadSubCommand();
    BOOL ReadVbsFile();
    BOOL HasDatabaseUrl();
    BOOL DataFolderExists();
    BOOL ToolIniExists();
    BOOL DataIniExists();
    BOOL ProgramsExist();

    CString mainCommand;
    CString baseFolder;
    CString subCommand;
    CString vbsFile;

private:
    CString ReadSetting(const wchar_t* section, const wchar_t* key) const;
    // Makes a missing exchange file, as the blanking write would, without
    // writing to one that exists.
    void CreateMissingExchangeFile() const;

    FolderSource m_findBaseFolder;
};
