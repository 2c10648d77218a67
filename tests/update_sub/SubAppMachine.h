#pragma once
// The machine of the secondary program's decision table: the test's own base
// folder, Windows folder, registry keys and runner, whose programs act as the
// real ones would, and a decoy where the environment points.
#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "InstallFakes.h"
#include "SubAppRunCase.h"
#include "startup/SubAppActions.h"
#include "support/StateFixtures.h"
#include "win/handle.h"

// Where a user's profile may point WINDIR and ProgramData: a client INI file
// naming a client folder with its own VelmoInit.exe; and TEMP and TMP, as a
// service passes on SYSTEM's C:\Windows\Temp, which every user may write.
class EnvironmentDecoy {
public:
    EnvironmentDecoy() {
        const std::wstring ini = m_folder / L"ZRVCAVelmo.ini";
        WritePrivateProfileStringW(L"ZRVCAVelmo", L"ZRVVelmoVersion", L"9.9.9", ini.c_str());
        WritePrivateProfileStringW(L"ZRVCAVelmo", L"Directory", Client().c_str(), ini.c_str());
        WriteFileBytes(Client() + L"\\VelmoInit.exe", "MZ");
    }
    std::wstring Client() const { return m_folder / L"client"; }
    const std::wstring& Folder() const { return m_folder.path(); }

private:
    TempFolder m_folder;
    ScopedEnvironmentVariable m_windir{L"WINDIR", m_folder.path()};
    ScopedEnvironmentVariable m_programData{L"ProgramData", m_folder.path()};
    ScopedEnvironmentVariable m_temp{L"TEMP", m_folder.path()};
    ScopedEnvironmentVariable m_tmp{L"TMP", m_folder.path()};
};

// A machine of the test's own for one row.
class SubAppMachine : public SubAppActions {
public:
    explicit SubAppMachine(const RunCase& row);

    // SubAppActions
    bool HardenDllSearchPath() override { return m_row.machine.hardened; }
    std::wstring ClientIniPath() override { return m_clientIni; }
    DownloadRun Download(const DownloadList& list, const CString& status) override;
    BOOL VerifyFileSigner(const std::wstring& path, int signerKind, win::FileHandle& held) override;
    ProgramRunner& Runner() override { return m_runner; }
    bool UpdateCertificateFolders(const std::wstring& baseFolder, const std::wstring& clientDirectory) override;
    void ShowClosingDialog(const ClosingDialogText& text) override;
    void ShowSmallClosingDialog(const CString& message) override;

    // The row run through a freshly built application; checks the outcome.
    void RunAndCheck();

private:
    void WriteOrders() const;
    void WriteClient(const std::wstring& version, const std::wstring& folder) const;
    void PlayProgram(const std::wstring& line);
    std::wstring Shorten(const std::wstring& line) const;
    std::wstring ClientName(const std::wstring& folder) const;
    // "client", "auxSetup" or "auxMsi", as the rows name the downloaded files.
    std::wstring FileName(const std::wstring& path) const;
    bool Writable(const std::wstring& path) const;
    void Plant(const std::wstring& folder, Planted planted, const wchar_t* setupName);
    void CheckDownloadedFiles() const;
    void CheckPlantedFolder(const std::wstring& folder, Planted planted, const wchar_t* setupName) const;
    void CheckDownloadFolder() const;
    // The stand-in setup started as the runner would start it, with the
    // environment the run gave the runner; what it saw.
    void RunStandInSetup();
    void CheckProgramEnvironment() const;

    const RunCase& m_row;
    TempFolder m_base, m_clients, m_windows, m_victim;
    const std::wstring m_clientIni = m_windows / L"ZRVCAVelmo.ini";
    EnvironmentDecoy m_decoy;
    TestRegistryKey m_uninstallKeys, m_sessionManager;
    RecordingRunner m_runner;
    const std::wstring m_oldClient = m_clients / L"old\\client";
    const std::wstring m_newClient = m_clients / L"new\\client";
    const ScriptBesideTheProgram m_script;
    const std::wstring m_setupFolder = m_base / L"ZRV\\VelmoUpgradeTool\\setupstaging";
    const std::wstring m_clientSetup = m_setupFolder + L"\\Velmo.exe";
    const std::wstring m_downloadFolder = m_base / L"ZRV\\VelmoUpgradeTool\\data\\download";
    const std::wstring m_auxSetup = m_downloadFolder + L"\\setup.exe";
    const std::wstring m_auxMsi = m_downloadFolder + L"\\Pelmarch.msi";
    const std::wstring m_tempFolder = m_base / L"ZRV\\VelmoUpgradeTool\\temp";
    const std::wstring m_standIn = m_clients / L"stand-in\\Velmo.exe";
    std::vector<win::FileHandle> m_heldPlantedFolders;
    std::map<std::wstring, std::string> m_victimBefore;

    // What the run did.
    DownloadList m_downloaded;
    bool m_downloadAsked = false;
    std::vector<std::wstring> m_certificateClients;
    std::vector<std::pair<Dialog, ClosingDialogText>> m_dialogs;
    bool m_setupHeld = false;
    bool m_setupFolderAdminOnly = false;
    bool m_setupFolderHeld = false;
    std::vector<std::wstring> m_setupEnvironment;
    bool m_tempFolderAdminOnly = false;
    bool m_tempFolderHeld = false;
    bool m_auxFilesHeldAtInit = false;
    bool m_downloadFolderHeldAtInit = false;
};
