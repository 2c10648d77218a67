#pragma once
// What the update check asks of the world outside its files: the
// single-instance block, the readings of this PC, the downloads, the
// root-certificate package, the auxiliary application's registry entry, the
// merge into the auxiliary application's list and the early ends. The
// application does the real thing; tests stand in for it.
#include <windows.h>

#include <string>

#include "download/DownloadList.h"
#include "environment/EnvironmentInfo.h"
#include "framework/CString.h"
#include "settings/AuxAppVersionInfo.h"

class UpdateFlowActions {
public:
    virtual ~UpdateFlowActions() = default;

    // Creates the single-instance block; false with the thread's last error.
    virtual bool CreateHandOverBlock() = 0;
    // The installed client's version and folder into env.
    virtual void ReadInstalledVersion(EnvironmentInfo& env) = 0;
    // The update tool's own installation; false with its error text in
    // message, or with message untouched when there is no common
    // application-data folder. ownsOrders: the run holds the single-instance
    // block, so the check may blank the client-download order.
    virtual bool CheckInstallation(CString& message, bool ownsOrders) = 0;
    // The running Windows' version into env.os; its result.
    virtual BOOL ReadOsVersion(EnvironmentInfo& env) = 0;
    // Fetches every file of the list; false with the text of the failure (or
    // of the cancel) in message.
    virtual bool DownloadAll(CString& message, const DownloadList& list) = 0;
    // Checks the downloaded root-certificate package against the client's
    // stores; false with its error text in message. newer tells whether the
    // package is newer than what the client has.
    virtual bool UpdateRootCertPackage(bool& newer, CString& message, const wchar_t* installDir) = 0;
    // The auxiliary application's installed version against the update list.
    virtual AuxAppVersionInfo GetAuxAppVersionInfo(const std::wstring& updateListPath) = 0;
    // Merges the newly installed allowed-URL list into the auxiliary
    // application's list where the client is installed. Never fails the run.
    virtual void MergeAllowedUrls() = 0;
    // The orders for the secondary program are about to be written: from now
    // on an early end must withdraw them.
    virtual void OrdersWritten() = 0;

    // The early ends: the closing dialogs end the process however they end;
    // EndProcess ends it at once.
    virtual void ShowSmallCloseAndExit(const CString& message) = 0;
    virtual void ShowCloseAndExit(const CString& message) = 0;
    virtual void EndProcess(int exitCode) = 0;
};
