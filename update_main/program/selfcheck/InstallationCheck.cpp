#include "selfcheck/InstallationCheck.h"

#include <shlwapi.h>

#include <utility>

#include "messages/UserMessages.h"
#include "paths/PathConstants.h"
#include "process/CommandLineParts.h"
#include "win/handle.h"

namespace {

constexpr DWORD kSettingChars = 260;

}  // namespace

InstallationCheck::InstallationCheck() : InstallationCheck(GetProgramDataFolder) {}

InstallationCheck::InstallationCheck(FolderSource baseFolder) : m_findBaseFolder(std::move(baseFolder)) {}

CString InstallationCheck::ReadSetting(const wchar_t* section, const wchar_t* key) const {
    return CString(ReadProfileString((baseFolder + TOOL_INI_SUBPATH).str(), section, key, L"", kSettingChars));
}

BOOL InstallationCheck::ReadMainCommand() {
    mainCommand = ReadSetting(L"APP", L"MainCommand");
    return !mainCommand.IsEmpty();
}

BOOL InstallationCheck::ReadSubCommand() {
    subCommand = ReadSetting(L"APP", L"SubCommand");
    return !subCommand.IsEmpty();
}

BOOL InstallationCheck::ReadVbsFile() {
    vbsFile = ReadSetting(L"APP", L"vbs_file");
    return !vbsFile.IsEmpty();
}

BOOL InstallationCheck::HasDatabaseUrl() { return !ReadSetting(L"SERVER", L"database").IsEmpty(); }

BOOL InstallationCheck::DataFolderExists() { return PathIsDirectoryW(baseFolder + DATA_SUBDIR) != FALSE; }

BOOL InstallationCheck::ToolIniExists() { return PathFileExistsW(baseFolder + TOOL_INI_SUBPATH); }

BOOL InstallationCheck::DataIniExists() { return PathFileExistsW(baseFolder + DATA_INI_SUBPATH); }

BOOL InstallationCheck::ProgramsExist() {
    const BOOL mainExists = PathFileExistsW(SplitCommandLine(mainCommand).program);
    const BOOL subExists = PathFileExistsW(SplitCommandLine(subCommand).program);
    const BOOL vbsExists = PathFileExistsW(vbsFile);
    return mainExists && subExists && vbsExists;
}

void InstallationCheck::CreateMissingExchangeFile() const {
    // Shared every way: another run may be reading or writing it.
    const win::FileHandle file(CreateFileW(baseFolder + DATA_INI_SUBPATH, GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool InstallationCheck::CheckInstallation(CString& message, bool ownsOrders) {
    const std::wstring folder = m_findBaseFolder();
    if (folder.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    baseFolder = folder;
    // Either way a missing exchange file is made in an existing data folder.
    if (ownsOrders)
        WritePrivateProfileStringW(L"Command", L"dURL", L"", baseFolder + DATA_INI_SUBPATH);
    else
        CreateMissingExchangeFile();

    // Every test runs, whatever the earlier ones found.
    const bool dataFolder = DataFolderExists();
    const bool toolIni = ToolIniExists();
    const bool dataIni = DataIniExists();
    const bool mainSet = ReadMainCommand();
    const bool subSet = ReadSubCommand();
    const bool vbsSet = ReadVbsFile();
    const bool databaseSet = HasDatabaseUrl();
    const bool programs = ProgramsExist();

    const std::pair<bool, ErrorNumber> byPrecedence[] = {
        {dataFolder, K806},
        {toolIni, K807},
        {dataIni, K808},
        {mainSet && subSet && vbsSet && databaseSet, K809},
        {programs, K810},
    };
    for (const auto& [passed, number] : byPrecedence) {
        if (!passed) {
            message = ErrorText(number);
            return false;
        }
    }
    return true;
}
