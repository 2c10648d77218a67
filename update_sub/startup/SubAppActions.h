#pragma once
// What the secondary program's run asks of the world outside its orders: the
// process set-up, the downloads under the progress dialog, the signer check,
// the programs it starts, the certificate step and the closing dialogs. The
// application does the real thing; tests stand in for it.
#include <windows.h>

#include <string>

#include "download/DownloadList.h"
#include "framework/CString.h"
#include "install/ProgramRunner.h"
#include "win/handle.h"

// How a run of the progress dialog ended: DoModal's result (-1 when the
// dialog could not run) and what the dialog left for its owner.
struct DownloadRun {
    INT_PTR dialogResult = -1;
    DownloadResult result;
};

// The closing dialog's fields besides its link to the support page.
struct ClosingDialogText {
    CString message;
    CString notice;        // the orders' [Message] common
    CString versionLabel;  // the installed client's version
};

class SubAppActions {
public:
    virtual ~SubAppActions() = default;

    // Takes the current folder out of the DLL search; false if any step fails.
    virtual bool HardenDllSearchPath() = 0;
    // The client's INI file in the Windows folder.
    virtual std::wstring ClientIniPath() = 0;
    // Fetches the list under the progress dialog, which shows `status`.
    virtual DownloadRun Download(const DownloadList& list, const CString& status) = 0;
    // VerifyFileSigner's held form: TRUE keeps the file open in `held`
    // without write or delete sharing.
    virtual BOOL VerifyFileSigner(const std::wstring& path, int signerKind, win::FileHandle& held) = 0;
    // Starts the uninstallers, the setup, the script and VelmoInit.exe.
    virtual ProgramRunner& Runner() = 0;
    // Brings the certificate folders of the client in `clientDirectory` up
    // to the package below `baseFolder` and registers its roots; false when
    // that failed.
    virtual bool UpdateCertificateFolders(const std::wstring& baseFolder, const std::wstring& clientDirectory) = 0;
    // The closing dialogs; each returns when the user has closed it.
    virtual void ShowClosingDialog(const ClosingDialogText& text) = 0;
    virtual void ShowSmallClosingDialog(const CString& message) = 0;
};
