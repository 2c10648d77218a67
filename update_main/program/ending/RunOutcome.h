#pragma once
// How a run ends once the update check has its results: which dialog or
// question the user sees, whether the secondary program starts, and whether
// the orders in the exchange file are cleared afterwards.
#include <windows.h>

#include "framework/CString.h"

struct RunResults {
    int runMode = 0;
    CString message;   // errors and the rules' primary texts
    CString message2;  // the rules' secondary texts
    CString dUrl;      // setup address of a due client update; empty: none due
    // The check stopped on an error, whose text is then message.
    bool checkFailed = false;
    bool rootCertUpdate = false;
    bool auxAppUpdate = false;
    int downloadErrorCode = 0;
    DWORD osMajorVersion = 0;
};

// The dialogs and actions that end a run. The application shows the real
// ones; AskOrExit ends the process on the user's word and does not return
// then, the Show...Exit calls never return.
class RunEndActions {
public:
    virtual ~RunEndActions() = default;
    virtual INT_PTR ShowMainDialog(const CString& message) = 0;
    virtual void ShowClosingDialog(const CString& message) = 0;
    virtual void ShowNoticeBox(const CString& message) = 0;
    virtual INT_PTR Ask(const CString& question, const wchar_t* okCaption) = 0;
    virtual void AskOrExit(const CString& question) = 0;
    virtual void ShowCloseAndExit(const CString& message) = 0;
    virtual void ShowSmallCloseAndExit(const CString& message) = 0;
    virtual BOOL IsUserAnAdmin() = 0;
    virtual BOOL RunSubCommand(int isAdmin) = 0;
    // The current and new version of the auxiliary application's due update.
    virtual void ReadAuxAppVersions(CString& currentVersion, CString& newVersion) = 0;
    // Take a declined order out of the exchange file; false when it stays.
    virtual bool WithdrawRootCertOrder() = 0;
    virtual bool WithdrawAuxAppOrder() = 0;
};

enum class RunEnding {
    ClearOrders,  // clear the orders, then release the single-instance block
    KeepOrders,   // only release the single-instance block
    Stop,         // nothing more: the run had no block and leaves the orders alone
};

// Shows what the results call for and acts on the answers; sets exitCode
// where the run mode turns the results into one.
RunEnding FinishRun(const RunResults& results, RunEndActions& actions, int& exitCode);
