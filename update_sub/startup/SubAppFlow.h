#pragma once
// The secondary program's run, step by step: the administrator and DLL-search
// checks, the downloads and their signer checks, the install of the client,
// the certificate step and the closing message. Every order it follows comes
// from a file a user can write; what it runs is checked where it runs.
#include <optional>
#include <string>

#include "fileops/HeldFolder.h"
#include "install/ClientSetup.h"
#include "install/InstallContext.h"
#include "startup/SubAppActions.h"
#include "startup/VelmoUpgradeToolSubApp.h"
#include "win/handle.h"

class SubAppFlow {
public:
    SubAppFlow(CVelmoUpgradeToolSubApp& app, SubAppActions& actions);
    SubAppFlow(const SubAppFlow&) = delete;
    SubAppFlow& operator=(const SubAppFlow&) = delete;
    // Empties the programs' temporary folder. The folder itself stays,
    // admin-only, until the next run makes it anew: a program that a setup
    // started may outlive the setup with its TEMP still naming the folder,
    // and a user must not be able to make one of that name meanwhile.
    ~SubAppFlow();

    void Run();

private:
    // Each step shows the closing dialog and returns false when the run
    // ends there.
    bool MayInstall();
    // Gives the runner the programs' own environment, whose TEMP and TMP
    // name a folder made anew for them.
    bool ProgramEnvironmentMade();
    bool Downloaded();
    // Holds the admin-only folder base + subpath made anew, or shows the
    // download's failure with the reason.
    bool FolderMade(HeldFolder& folder, const wchar_t* subpath);
    bool AuxAppFilesSigned();
    bool ClientInstalled();
    bool UpdateCertificates();
    void Finish(bool certificatesOk);

    // False, with the file deleted, unless the file is signed by a signer
    // of the kind; `held` keeps a file that passed unchanged until released.
    bool Signed(const std::wstring& path, int signerKind, win::FileHandle& held);
    // Shows the message with the version the orders gave; false.
    bool Closed(const CString& message);
    // The final closing dialog with the client's version as it is now, then
    // VelmoInit.exe after a new client of 6.2 or later.
    void ShowOutcome(const CString& message);

    CVelmoUpgradeToolSubApp& m_app;
    SubAppActions& m_actions;
    const std::wstring m_clientIniPath;
    CInstallContext m_context;
    const bool m_clientUpdateDue;
    const bool m_auxAppUpdateDue;
    const std::wstring m_clientSetupFolder;
    const std::wstring m_clientSetup;
    const std::wstring m_auxAppSetup;
    const std::wstring m_auxAppMsi;
    ClosingDialogText m_closing;
    // The folders the setups are fetched to and the programs' TEMP, held to
    // the end of the run.
    HeldFolder m_heldTempFolder;
    HeldFolder m_heldSetupFolder;
    HeldFolder m_heldDownloadFolder;
    // The auxiliary application's files stay as checked while the client's
    // first-run program may install them, to the end of the run.
    win::FileHandle m_heldAuxAppSetup;
    win::FileHandle m_heldAuxAppMsi;
    std::optional<InstallReport> m_install;
    bool m_installedNow = false;
};
