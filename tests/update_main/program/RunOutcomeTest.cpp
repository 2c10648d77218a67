#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "commandline/RunMode.h"
#include "ending/RunOutcome.h"
#include "messages/UserMessages.h"

namespace {

// Stands for the process ending inside a dialog routine.
struct ProcessEnded {
    int exitCode;
};

// Records what the user would see, in order, and answers as scripted.
class ScriptedActions : public RunEndActions {
public:
    std::vector<std::wstring> shown;
    std::deque<INT_PTR> answers;  // for the main dialog and the questions
    BOOL admin = TRUE;
    BOOL subCommandStarts = TRUE;
    bool exitOnAskOrExit = false;
    std::vector<int> subCommandAdminFlags;

    INT_PTR ShowMainDialog(const CString& message) override {
        shown.push_back(L"main:" + message.str());
        return Next();
    }
    void ShowClosingDialog(const CString& message) override { shown.push_back(L"close:" + message.str()); }
    void ShowNoticeBox(const CString& message) override { shown.push_back(L"box:" + message.str()); }
    INT_PTR Ask(const CString& question, const wchar_t* okCaption) override {
        shown.push_back(L"ask[" + std::wstring(okCaption) + L"]:" + question.str());
        return Next();
    }
    void AskOrExit(const CString& question) override {
        shown.push_back(L"askOrExit:" + question.str());
        if (exitOnAskOrExit) throw ProcessEnded{1};
    }
    void ShowCloseAndExit(const CString& message) override {
        shown.push_back(L"closeAndExit:" + message.str());
        throw ProcessEnded{1};
    }
    void ShowSmallCloseAndExit(const CString& message) override {
        shown.push_back(L"smallCloseAndExit:" + message.str());
        throw ProcessEnded{1};
    }
    BOOL IsUserAnAdmin() override { return admin; }
    BOOL RunSubCommand(int isAdmin) override {
        subCommandAdminFlags.push_back(isAdmin);
        shown.push_back(L"sub");
        return subCommandStarts;
    }
    void ReadAuxAppVersions(CString& currentVersion, CString& newVersion) override {
        currentVersion = L"2.0";
        newVersion = L"2.1";
    }
    bool WithdrawRootCertOrder() override {
        shown.push_back(L"withdraw:root");
        return withdrawals;
    }
    bool WithdrawAuxAppOrder() override {
        shown.push_back(L"withdraw:aux");
        return withdrawals;
    }
    bool withdrawals = true;

private:
    INT_PTR Next() {
        if (answers.empty()) return IDCANCEL;
        const INT_PTR answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

struct Outcome {
    RunEnding ending;
    int exitCode;
    bool ended;  // the process ended inside a dialog routine
};

Outcome Finish(const RunResults& results, ScriptedActions& actions) {
    int exitCode = 0;
    try {
        return {FinishRun(results, actions, exitCode), exitCode, false};
    } catch (const ProcessEnded& end) {
        return {RunEnding::Stop, end.exitCode, true};
    }
}

RunResults Results(int mode) {
    RunResults results;
    results.runMode = mode;
    results.osMajorVersion = 10;
    return results;
}

const std::wstring kRootQuestion = L"ask[更新]:" + std::wstring(ROOT_CERT_QUESTION_TEXT);
const std::wstring kAuxQuestion = L"ask[OK]:" + AuxAppQuestionText(L"2.0", L"2.1").str();

}  // namespace

TEST(FinishRun, UpdateListRunShowsNothingAndKeepsTheOrders) {
    ScriptedActions actions;
    RunResults results = Results(RUN_UPDATE_LIST_INFO);
    results.message = L"error";
    const Outcome outcome = Finish(results, actions);
    EXPECT_EQ(outcome.ending, RunEnding::KeepOrders);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(actions.shown.empty());
}

TEST(FinishRun, WhiteListRunTurnsItsMessageIntoTheExitCode) {
    const struct {
        const wchar_t* message;
        int downloadError;
        int exitCode;
    } table[] = {
        {L"", 404, 0},          // no message: the framework's own value
        {L"K500", 12029, 12029},
        {L"cancelled", 0, 505},  // a cancel has no error code of its own
        {L"K704", -3, -3},
    };
    for (const auto& row : table) {
        ScriptedActions actions;
        RunResults results = Results(RUN_OB_WHITE_LIST);
        results.message = row.message;
        results.downloadErrorCode = row.downloadError;
        const Outcome outcome = Finish(results, actions);
        EXPECT_EQ(outcome.ending, RunEnding::Stop);
        EXPECT_EQ(outcome.exitCode, row.exitCode) << row.message;
        EXPECT_TRUE(actions.shown.empty());
    }
}

TEST(FinishRun, PelmarchRunWithAnErrorShowsAMessageBoxAndKeepsTheOrders) {
    ScriptedActions actions;
    RunResults results = Results(RUN_DOWNLOAD_PELMARCH);
    results.message = L"失敗";
    results.auxAppUpdate = true;
    const Outcome outcome = Finish(results, actions);
    EXPECT_EQ(outcome.ending, RunEnding::KeepOrders);
    EXPECT_EQ(actions.shown, (std::vector<std::wstring>{L"box:失敗"}));
}

TEST(FinishRun, PelmarchRunInstallsTheAuxiliaryAppWithoutAsking) {
    ScriptedActions actions;
    actions.admin = FALSE;
    RunResults results = Results(RUN_DOWNLOAD_PELMARCH);
    results.auxAppUpdate = true;
    const Outcome outcome = Finish(results, actions);
    EXPECT_EQ(outcome.ending, RunEnding::ClearOrders);
    EXPECT_EQ(actions.shown, (std::vector<std::wstring>{L"sub"}));
    EXPECT_EQ(actions.subCommandAdminFlags, (std::vector<int>{0}));
}

TEST(FinishRun, NothingDueShowsTheClosingDialogWithBothMessages) {
    ScriptedActions actions;
    RunResults results = Results(RUN_UPDATE_CHECK);
    results.message = L"A";
    results.message2 = L"B";
    const Outcome outcome = Finish(results, actions);
    EXPECT_EQ(outcome.ending, RunEnding::ClearOrders);
    EXPECT_EQ(actions.shown, (std::vector<std::wstring>{L"close:AB"}));
}

TEST(FinishRun, PelmarchRunWithNothingDueShowsNothing) {
    ScriptedActions actions;
    const Outcome outcome = Finish(Results(RUN_DOWNLOAD_PELMARCH), actions);
    EXPECT_EQ(outcome.ending, RunEnding::ClearOrders);
    EXPECT_TRUE(actions.shown.empty());
}

TEST(FinishRun, ClientUpdateInstallStartsTheSecondaryProgram) {
    ScriptedActions actions;
    actions.answers = {IDOK};
    RunResults results = Results(RUN_UPDATE_CHECK);
    results.dUrl = L"http://example.invalid/setup.exe";
    results.message = L"新";
    results.message2 = L"版";
    const Outcome outcome = Finish(results, actions);
    EXPECT_EQ(outcome.ending, RunEnding::ClearOrders);
    EXPECT_EQ(actions.shown, (std::vector<std::wstring>{L"main:新版", L"sub"}));
    EXPECT_EQ(actions.subCommandAdminFlags, (std::vector<int>{1}));
}

TEST(FinishRun, ClientUpdateThatCannotStartEndsWithK703) {
    ScriptedActions actions;
    actions.answers = {IDOK};
    actions.subCommandStarts = FALSE;
    RunResults results = Results(RUN_UPDATE_CHECK);
    results.dUrl = L"x";
    const Outcome outcome = Finish(results, actions);
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(actions.shown.back(), L"closeAndExit:" + ErrorText(K703).str());
}

TEST(FinishRun, ClientUpdateCancelledOrClosedOtherwise) {
    {
        ScriptedActions actions;
        actions.answers = {IDCANCEL};
        RunResults results = Results(RUN_UPDATE_CHECK);
        results.dUrl = L"x";
        EXPECT_EQ(Finish(results, actions).ending, RunEnding::ClearOrders);
        EXPECT_EQ(actions.shown, (std::vector<std::wstring>{L"main:", L"close:" + std::wstring(INSTALL_CANCELLED_TEXT)}));
    }
    {
        ScriptedActions actions;
        actions.answers = {IDABORT};
        RunResults results = Results(RUN_UPDATE_CHECK);
        results.dUrl = L"x";
        EXPECT_EQ(Finish(results, actions).ending, RunEnding::ClearOrders);
        EXPECT_EQ(actions.shown, (std::vector<std::wstring>{L"main:"}));
    }
}

TEST(FinishRun, AdministratorQuestionOnlyForOldWindowsWithoutRights) {
    const struct {
        BOOL admin;
        DWORD major;
        bool asked;
    } table[] = {{FALSE, 5, true}, {FALSE, 4, true}, {FALSE, 6, false}, {TRUE, 5, false}, {TRUE, 10, false}};
    for (const auto& row : table) {
        ScriptedActions actions;
        actions.answers = {IDOK};
        actions.admin = row.admin;
        RunResults results = Results(RUN_UPDATE_CHECK);
        results.dUrl = L"x";
        results.osMajorVersion = row.major;
        Finish(results, actions);
        const bool asked = actions.shown.size() > 1 && actions.shown[1] == L"askOrExit:" + std::wstring(ADMIN_REQUIRED_TEXT);
        EXPECT_EQ(asked, row.asked) << row.admin << " " << row.major;
        EXPECT_EQ(actions.subCommandAdminFlags, (std::vector<int>{row.admin ? 1 : 0}));
    }
}

TEST(FinishRun, AdministratorQuestionDeclinedEndsTheProcess) {
    ScriptedActions actions;
    actions.answers = {IDOK};
    actions.admin = FALSE;
    actions.exitOnAskOrExit = true;
    RunResults results = Results(RUN_UPDATE_CHECK);
    results.dUrl = L"x";
    results.osMajorVersion = 5;
    const Outcome outcome = Finish(results, actions);
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(actions.subCommandAdminFlags.empty());
}

TEST(FinishRun, RootCertificateUpdateAcceptedStartsTheSecondaryProgram) {
    ScriptedActions actions;
    actions.answers = {IDOK};
    RunResults results = Results(RUN_UPDATE_CHECK);
    results.rootCertUpdate = true;
    results.message2 = L"注意";
    const Outcome outcome = Finish(results, actions);
    EXPECT_EQ(outcome.ending, RunEnding::ClearOrders);
    EXPECT_EQ(actions.shown, (std::vector<std::wstring>{kRootQuestion, L"sub", L"close:注意"}));
}

TEST(FinishRun, RootCertificateUpdateThatCannotStartEndsWithTheSmallDialog) {
    ScriptedActions actions;
    actions.answers = {IDOK};
    actions.subCommandStarts = FALSE;
    RunResults results = Results(RUN_UPDATE_CHECK);
    results.rootCertUpdate = true;
    const Outcome outcome = Finish(results, actions);
    EXPECT_TRUE(outcome.ended);
    EXPECT_EQ(actions.shown.back(), L"smallCloseAndExit:" + UpdateFailedText(true, false).str());
}

TEST(FinishRun, RootCertificateUpdateDeclinedOnlyCloses) {
    ScriptedActions actions;
    actions.answers = {IDCANCEL};
    RunResults results = Results(RUN_UPDATE_CHECK);
    results.rootCertUpdate = true;
    Finish(results, actions);
    EXPECT_EQ(actions.shown, (std::vector<std::wstring>{kRootQuestion, L"withdraw:root", L"close:"}));
}

// The secondary program reports on the auxiliary update itself; a start that
// failed, or an error of the check, is this program's to show, and the run
// ends with a nonzero code. The rules' texts are no error: a started update
// then ends without a dialog and with the framework's code. A start that
// failed names every update that was chosen, the root certificates first.
TEST(FinishRun, AuxiliaryUpdateAcceptedShowsOnlyWhatTheSecondaryProgramCannot) {
    struct Row {
        bool root;  // the root-certificate update was offered and accepted too
        BOOL starts;
        const wchar_t* message;
        bool checkFailed;
        std::vector<std::wstring> shown;
        int exitCode;
    };
    const std::wstring k600 = ErrorText(K600).str();
    const std::wstring notStarted = L"smallCloseAndExit:" + UpdateFailedText(false, true).str();
    const std::wstring neitherStarted = L"smallCloseAndExit:" + UpdateFailedText(true, true).str();
    const wchar_t* const ruleText = L"お使いの「Velmoご利用ソフト」は最新です。\n";
    const Row rows[] = {
        {false, TRUE, L"", false, {kAuxQuestion, L"sub"}, 0},
        {false, FALSE, L"", false, {kAuxQuestion, L"sub", notStarted}, 1},
        {false, TRUE, ruleText, false, {kAuxQuestion, L"sub"}, 0},
        {false, FALSE, ruleText, false, {kAuxQuestion, L"sub", notStarted}, 1},
        {false, TRUE, k600.c_str(), true, {kAuxQuestion, L"sub", L"closeAndExit:" + k600}, 1},
        {false, FALSE, k600.c_str(), true, {kAuxQuestion, L"sub", notStarted}, 1},
        {true, TRUE, L"", false, {kRootQuestion, kAuxQuestion, L"sub"}, 0},
        {true, FALSE, L"", false, {kRootQuestion, kAuxQuestion, L"sub", neitherStarted}, 1},
        {true, FALSE, ruleText, false, {kRootQuestion, kAuxQuestion, L"sub", neitherStarted}, 1},
    };
    for (const Row& row : rows) {
        ScriptedActions actions;
        actions.answers = {IDOK, IDOK};
        actions.subCommandStarts = row.starts;
        RunResults results = Results(RUN_UPDATE_CHECK);
        results.rootCertUpdate = row.root;
        results.auxAppUpdate = true;
        results.message = row.message;
        results.message2 = L"注意";
        results.checkFailed = row.checkFailed;
        const Outcome outcome = Finish(results, actions);
        if (!outcome.ended) {
            EXPECT_EQ(outcome.ending, RunEnding::ClearOrders);
        }
        EXPECT_EQ(outcome.exitCode, row.exitCode) << row.root << " " << row.starts << " " << row.checkFailed;
        EXPECT_EQ(actions.shown, row.shown) << row.root << " " << row.starts << " " << row.checkFailed;
    }
}

TEST(FinishRun, AuxiliaryDeclinedRootAcceptedEndsWithTheDeclineLine) {
    ScriptedActions actions;
    actions.answers = {IDOK, IDCANCEL};
    RunResults results = Results(RUN_UPDATE_CHECK);
    results.rootCertUpdate = true;
    results.auxAppUpdate = true;
    results.message = L"M";
    Finish(results, actions);
    EXPECT_EQ(actions.shown, (std::vector<std::wstring>{kRootQuestion, kAuxQuestion, L"withdraw:aux", L"sub",
                                                        L"close:M" + std::wstring(AUX_APP_DECLINED_TEXT)}));
}

TEST(FinishRun, BothDeclinedStartsNothing) {
    ScriptedActions actions;
    actions.answers = {IDCANCEL, IDNO};
    RunResults results = Results(RUN_UPDATE_CHECK);
    results.rootCertUpdate = true;
    results.auxAppUpdate = true;
    Finish(results, actions);
    EXPECT_EQ(actions.shown,
              (std::vector<std::wstring>{kRootQuestion, kAuxQuestion, L"withdraw:root", L"withdraw:aux",
                                         L"close:" + std::wstring(AUX_APP_DECLINED_TEXT)}));
    EXPECT_TRUE(actions.subCommandAdminFlags.empty());
}

// A declined order that cannot be withdrawn must not reach the secondary
// program: nothing starts, and the run ends on K812.
TEST(FinishRun, ADeclinedOrderThatStaysStartsNothing) {
    const struct {
        INT_PTR rootAnswer, auxAnswer;
        const wchar_t* withdrawn;
    } table[] = {
        {IDCANCEL, IDOK, L"withdraw:root"},  // the aux update alone would start the secondary program
        {IDOK, IDCANCEL, L"withdraw:aux"},   // the root update alone would start it
    };
    for (const auto& row : table) {
        ScriptedActions actions;
        actions.withdrawals = false;
        actions.answers = {row.rootAnswer, row.auxAnswer};
        RunResults results = Results(RUN_UPDATE_CHECK);
        results.rootCertUpdate = true;
        results.auxAppUpdate = true;
        const Outcome outcome = Finish(results, actions);
        EXPECT_TRUE(outcome.ended);
        EXPECT_EQ(actions.shown, (std::vector<std::wstring>{kRootQuestion, kAuxQuestion, row.withdrawn,
                                                            L"closeAndExit:" + ErrorText(K812).str()}));
        EXPECT_TRUE(actions.subCommandAdminFlags.empty());
    }
}
