#include "ending/RunOutcome.h"

#include "commandline/RunMode.h"
#include "messages/UserMessages.h"

namespace {

// Installing needs administrator rights. Windows up to XP cannot raise them
// for us, so its users are told how to log on as administrator first.
int CheckAdministrator(const RunResults& results, RunEndActions& actions) {
    const int isAdmin = actions.IsUserAnAdmin() ? 1 : 0;
    if (!isAdmin && results.osMajorVersion <= 5) actions.AskOrExit(ADMIN_REQUIRED_TEXT);
    return isAdmin;
}

void OfferClientUpdate(const RunResults& results, RunEndActions& actions) {
    const INT_PTR answer = actions.ShowMainDialog(results.message + results.message2);
    if (answer == IDOK) {
        const int isAdmin = CheckAdministrator(results, actions);
        if (!actions.RunSubCommand(isAdmin)) actions.ShowCloseAndExit(ErrorText(K703));
    } else if (answer == IDCANCEL) {
        actions.ShowClosingDialog(INSTALL_CANCELLED_TEXT);
    }
}

void OfferOtherUpdates(const RunResults& results, RunEndActions& actions) {
    bool rootChosen = false;
    if (results.rootCertUpdate)
        rootChosen = actions.Ask(ROOT_CERT_QUESTION_TEXT, ROOT_CERT_OK_CAPTION) == IDOK;

    bool auxChosen = results.auxAppUpdate;
    bool auxDeclined = false;
    if (results.runMode == RUN_UPDATE_CHECK && auxChosen) {
        CString currentVersion, newVersion;
        actions.ReadAuxAppVersions(currentVersion, newVersion);
        if (actions.Ask(AuxAppQuestionText(currentVersion, newVersion), AUX_APP_OK_CAPTION) != IDOK) {
            auxChosen = false;
            auxDeclined = true;
        }
    }

    // The user's "no" is never carried out: the order leaves the exchange
    // file before the secondary program can read it, or nothing starts.
    const bool rootDeclined = results.rootCertUpdate && !rootChosen;
    if ((rootDeclined && !actions.WithdrawRootCertOrder()) || (auxDeclined && !actions.WithdrawAuxAppOrder()))
        actions.ShowCloseAndExit(ErrorText(K812));

    if (rootChosen || auxChosen) {
        const int isAdmin = CheckAdministrator(results, actions);
        const BOOL started = actions.RunSubCommand(isAdmin);
        // Every update that was chosen and did not happen is named.
        if (!started) actions.ShowSmallCloseAndExit(UpdateFailedText(rootChosen, auxChosen));
        if (auxChosen) {
            // The secondary program reports on the update itself; what it
            // cannot tell is that it never ran, or an error of this run. The
            // rules' texts are no error: after them the run ends in silence.
            if (results.checkFailed) actions.ShowCloseAndExit(results.message);
            return;
        }
    }
    if (results.runMode == RUN_DOWNLOAD_PELMARCH) return;

    CString closing = results.message + results.message2;
    if (auxDeclined) closing += AUX_APP_DECLINED_TEXT;
    actions.ShowClosingDialog(closing);
}

}  // namespace

RunEnding FinishRun(const RunResults& results, RunEndActions& actions, int& exitCode) {
    switch (results.runMode) {
    case RUN_UPDATE_LIST_INFO:
        return RunEnding::KeepOrders;
    case RUN_OB_WHITE_LIST:
        // Nothing is shown: the caller reads the outcome from the exit code.
        if (!results.message.IsEmpty())
            exitCode = results.downloadErrorCode != 0 ? results.downloadErrorCode : 505;
        return RunEnding::Stop;
    case RUN_DOWNLOAD_PELMARCH:
        if (!results.message.IsEmpty()) {
            actions.ShowNoticeBox(results.message);
            return RunEnding::KeepOrders;
        }
        break;
    default:
        break;
    }

    if (!results.dUrl.IsEmpty())
        OfferClientUpdate(results, actions);
    else
        OfferOtherUpdates(results, actions);
    return RunEnding::ClearOrders;
}
