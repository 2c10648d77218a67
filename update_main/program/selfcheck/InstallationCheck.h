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
    // message untouched. Blanks the client-download order [Command] dURL
    // first, so that no order of an earlier run survives an early stop.
    bool CheckInstallation(CString& message);

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

    FolderSource m_findBaseFolder;
};
