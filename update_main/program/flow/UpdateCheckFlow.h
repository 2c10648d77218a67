#pragma once
// The update check from the single-instance block to the orders in the
// exchange file, in every run mode. It leaves its results in the state it is
// given: the texts for the dialogs, the client setup address, the
// root-certificate and auxiliary-application flags.
#include <string>

#include "environment/EnvironmentInfo.h"
#include "flow/UpdateFlowActions.h"
#include "framework/CString.h"
#include "messages/UserMessages.h"
#include "rules/UpdateDatabase.h"
#include "settings/UpdateDataStore.h"
#include "updatepaths/UpdatePathSet.h"

// The application's members that the check reads and fills.
struct UpdateCheckState {
    EnvironmentInfo& env;
    UpdateDatabase& db;
    CUpdateDataStore& store;
    CString& message;   // errors and the rules' primary texts
    CString& message2;  // the rules' secondary texts
    int runMode;
    bool calledService;
};

// The files of one run by mode, in the order whose positions name a failure.
DownloadList MakeDownloadList(int runMode, CUpdateDataStore& store, const ExpandedPathSet& paths);

class UpdateCheckFlow {
public:
    // templates: the run's path templates (the standard ones, or a test's).
    UpdateCheckFlow(UpdateCheckState& state, UpdateFlowActions& actions, const UpdatePathSet& templates);

    // Runs the check for the client installed in installDir (may be empty).
    // True when it came to its end, whatever texts the rules left in the
    // messages; false when it stopped on an error, whose text is then in
    // state.message. Some failures end the process through the actions.
    bool Run(const wchar_t* installDir);

private:
    // False when the block is held elsewhere or cannot be made.
    bool TakeSingleInstanceBlock();
    // Sets the error text of the number; false.
    bool Fail(ErrorNumber number);
    // From the downloaded files to the orders; Run's result.
    bool ApplyDownloads(const ExpandedPathSet& paths, const wchar_t* installDir);
    bool DecideAuxAppUpdate(const ExpandedPathSet& paths, bool& auxWriteOk);
    bool InstallAllowedUrlList(const ExpandedPathSet& paths);
    bool ApplyRuleDatabase(const std::wstring& databaseFile, const std::wstring& databaseText);
    bool WriteOrders();
    // The text of the first uninstall command for the installed version.
    CString FindUninstallCommand() const;

    UpdateCheckState& m_state;
    UpdateFlowActions& m_actions;
    UpdatePathSet m_templates;
    // Holds the single-instance block, and with it the exchange file's orders.
    bool m_ownsOrders = false;
};
