#pragma once
// The secondary program: one application object that takes the orders of the
// exchange file while it is built and blanks them at once (BlankExchangeOrders),
// then carries them out with administrator rights in InitInstance, which
// ends with one closing message and returns FALSE, so that the program ends.
#include <string>

#include "environment/EnvironmentInfo.h"
#include "framework/framework.h"
#include "install/RegistryPlaces.h"
#include "profile/IniProfile.h"
#include "settings/UpdateDataStore.h"
#include "startup/SubAppActions.h"

class CVelmoUpgradeToolSubApp : public CWinApp {
public:
    // The program's: the files below the common application-data folder and
    // the process's command line.
    CVelmoUpgradeToolSubApp();
    // The files below `baseFolder`, with `commandLine` for the process's.
    CVelmoUpgradeToolSubApp(const FolderSource& baseFolder, const std::wstring& commandLine);
    // Blanks the orders once more.
    ~CVelmoUpgradeToolSubApp() override;

    BOOL InitInstance() override;
    // The run after the process set-up, through `actions`: the checks, the
    // downloads, the install, the certificate step and the closing message.
    void Run(SubAppActions& actions);

    // Only the whole word "/download_pelmarch" after the program sets
    // m_downloadPelmarch.
    void ParseCommandLine(const std::wstring& commandLine);

    // installed: the orders' version until a setup has run, then the client's.
    EnvironmentInfo m_env;
    CUpdateDataStore m_store;
    // The orders as read at start ([Command], [Message] common with its
    // "(NL)" marks expanded) and [APP] vbs_file of the settings file.
    std::wstring m_uninst;
    std::wstring m_dURL;
    std::wstring m_common;
    std::wstring m_uninstAll;
    std::wstring m_vbsFile;
    bool m_cacerts = false;
    int m_isAdmin = 0;
    int m_downloadPelmarch = 0;
    // Where the install driver finds the uninstall keys and the pending renames.
    RegistryPlaces m_places;
    const FolderSource m_baseFolder;
};
