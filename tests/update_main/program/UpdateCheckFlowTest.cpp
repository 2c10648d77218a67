// The update check in every run mode, below a temporary folder: real
// settings and exchange files, real enciphered rule databases from the
// independent producer, and stand-ins for the downloads, the dialogs and the
// readings of this PC.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "commandline/RunMode.h"
#include "flow/DownloadOutcome.h"
#include "flow/UpdateCheckFlow.h"
#include "messages/UserMessages.h"
#include "paths/PathConstants.h"
#include "support/ProgramRun.h"
#include "support/StateFixtures.h"
#include "win/handle.h"

using testing_support::exists;
using testing_support::read_bytes;
using testing_support::write_bytes;

namespace {

struct ProcessEnded {
    int exitCode;
};

std::wstring Fixture(const char* name) { return testing_support::BuildTreePath(std::string(RULE_FIXTURES) + "/" + name); }

// Serves each URL with the bytes of a file, or fails at one list position.
class FakeActions : public UpdateFlowActions {
public:
    DWORD blockError = ERROR_SUCCESS;
    BOOL secondOsRead = TRUE;
    int failAt = -1;
    AuxAppVersionInfo aux;
    std::map<std::wstring, std::string> files;  // by URL
    std::vector<std::wstring> calls;
    DownloadList fetched;
    ProductVersion installed;

    bool CreateHandOverBlock() override {
        SetLastError(blockError);
        return blockError == ERROR_SUCCESS;
    }
    void ReadInstalledVersion(EnvironmentInfo& env) override { env.installed = installed; }
    bool CheckInstallation(CString&, bool ownsOrders) override {
        checkOwnedOrders = ownsOrders;
        return true;
    }
    bool checkOwnedOrders = false;
    BOOL ReadOsVersion(EnvironmentInfo& env) override {
        env.os.major = 10;
        return m_osReads++ == 0 || secondOsRead;
    }
    bool DownloadAll(CString& message, const DownloadList& list) override {
        fetched = list;
        for (size_t i = 0; i < list.size(); ++i) {
            if (static_cast<int>(i) == failAt) {
                DownloadResult result;
                result.finished_count = failAt;
                result.error_category = DOWNLOAD_REQUEST_FAILED;
                result.error_code = 404;
                message = DownloadFailureText(result);
                return false;
            }
            const auto served = files.find(list[i].url.str());
            if (served != files.end()) write_bytes(list[i].path.str(), served->second);
        }
        return true;
    }
    bool UpdateRootCertPackage(bool& newer, CString&, const wchar_t*) override {
        newer = false;
        return true;
    }
    AuxAppVersionInfo GetAuxAppVersionInfo(const std::wstring&) override { return aux; }
    void MergeAllowedUrls() override { calls.push_back(L"merge"); }
    void OrdersWritten() override {
        calls.push_back(L"orders");
        if (lockWhileOrdering)
            locked.reset(CreateFileW(lockWhileOrdering->c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    // A file held without sharing from the moment the orders are written.
    const std::wstring* lockWhileOrdering = nullptr;
    win::FileHandle locked;
    // The small dialog could not be shown (its DoModal failed) and returned.
    bool smallDialogReturns = false;
    void ShowSmallCloseAndExit(const CString& message) override {
        if (!smallDialogReturns) End(L"small:" + message.str());
        calls.push_back(L"small:" + message.str());
    }
    void ShowCloseAndExit(const CString& message) override { End(L"close:" + message.str()); }
    void EndProcess(int) override { End(L"exit"); }

private:
    void End(const std::wstring& what) {
        calls.push_back(what);
        throw ProcessEnded{1};
    }
    int m_osReads = 0;
};

class UpdateCheckFlowTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(m_base / L"ZRV\\VelmoUpgradeTool\\VelmoUpgradeTool.ini",
                       "[SERVER]\r\ndatabase=http://h/db\r\ncerts=http://h/cab\r\nUpdateList=http://h/list\r\n"
                       "ObWhiteList=http://h/white\r\n");
        WriteFileBytes(ExchangeFile(), "[Pelmarch]\r\nis_new=1\r\n");
        m_actions.files[L"http://h/db"] = read_bytes(Fixture("rules.dat"));
        m_actions.files[L"http://h/white"] = "https://a.example/,1\r\n";
        m_actions.files[L"http://h/cab"] = m_actions.files[L"http://h/list"] = "";
        m_actions.installed.major = 6, m_actions.installed.minor = 1, m_actions.installed.sub_minor = 5;
        m_actions.installed.ver = L"6.1.5";
        m_paths.noUseFlag = m_base / L"bidNoUse.flag";
        m_paths.whiteListBase = m_base / L"whitelist\\ObWhiteList";
        m_paths.extension = L".txt";
        m_paths.downloadedWhiteList = m_base / L"ObWhiteList.txt";
        m_paths.updateList = m_base / L"UpdateList.ini";
        MakeFolder(m_base / L"whitelist");
    }

    // Runs the check; true when it ended the process. m_completed: what the
    // check said of itself.
    bool Run(int mode, bool calledService = false) {
        UpdateCheckState state{m_env, m_db, m_store, m_message, m_message2, mode, calledService};
        m_completed.reset();
        try {
            m_completed = UpdateCheckFlow(state, m_actions, m_paths).Run(L"");
        } catch (const ProcessEnded&) {
            return true;
        }
        return false;
    }
    std::wstring ExchangeFile() const { return m_base.path() + DATA_INI_SUBPATH.c_str(); }
    std::wstring Order(const wchar_t* section, const wchar_t* key) const {
        return RawProfileValue(ExchangeFile(), section, key);
    }

    TempFolder m_base;
    CUpdateDataStore m_store{[this] { return m_base.path(); }};
    EnvironmentInfo m_env;
    UpdateDatabase m_db;
    CString m_message, m_message2;
    FakeActions m_actions;
    UpdatePathSet m_paths;
    std::optional<bool> m_completed;
};

TEST_F(UpdateCheckFlowTest, EachModeFetchesItsFilesAndNamesAFailureByPosition) {
    struct Row {
        int mode;
        std::vector<std::wstring> urls;
    };
    const Row rows[] = {
        {RUN_UPDATE_CHECK, {L"http://h/db", L"http://h/cab", L"http://h/list", L"http://h/white"}},
        {RUN_DOWNLOAD_PELMARCH, {L"http://h/list", L"http://h/white"}},
        {RUN_OB_WHITE_LIST, {L"http://h/white"}},
        {RUN_UPDATE_LIST_INFO, {L"http://h/list"}},
    };
    for (const Row& row : rows) {
        for (int failAt = 0; failAt < static_cast<int>(row.urls.size()); ++failAt) {
            m_actions.failAt = failAt;
            m_message.Empty();
            EXPECT_FALSE(Run(row.mode));
            std::vector<std::wstring> urls;
            for (const DownloadItem& item : m_actions.fetched) urls.push_back(item.url.str());
            EXPECT_EQ(urls, row.urls) << row.mode;
            EXPECT_EQ(m_message, DownloadErrorText(failAt, 404)) << row.mode << " " << failAt;
            EXPECT_EQ(m_completed, false) << row.mode << " " << failAt;
        }
    }
}

TEST_F(UpdateCheckFlowTest, FullCheckWritesTheOrdersOfTheRules) {
    EXPECT_FALSE(Run(RUN_UPDATE_CHECK));
    // The rules' text is no error of the check.
    EXPECT_EQ(m_completed, true);
    EXPECT_TRUE(m_message.Find(L"新しい「Velmoご利用ソフト」があります。") >= 0) << m_message.str();
    EXPECT_TRUE(m_actions.checkOwnedOrders);
    EXPECT_EQ(Order(L"Command", L"dURL"), L"https://update.zrv.co.jp/velmo/6.2.0/VelmoSetup.exe");
    EXPECT_EQ(Order(L"Command", L"uninst"), L"/x {6B0F4A5E-3C1D-4B8E-9A2F-610500000000} /qn");
    EXPECT_EQ(Order(L"Command", L"uninst_all"), L";/x {6B0F4A5E-3C1D-4B8E-9A2F-600000000000} /qn ;"
                                                L"/x {6B0F4A5E-3C1D-4B8E-9A2F-610500000000} /qn");
    EXPECT_EQ(Order(L"Command", L"cacerts"), L"0");
    EXPECT_EQ(Order(L"Sleep", L"Probability") + L"/" + Order(L"Sleep", L"Hour"), L"20/6");
    EXPECT_EQ(Order(L"Velmo", L"ver"), L"6.1.5");
    EXPECT_NE(Order(L"Day", L"Year"), L"<absent>");
    EXPECT_EQ(Order(L"Pelmarch", L"is_new"), L"<absent>");  // the earlier run's order is gone
    EXPECT_EQ(m_actions.calls, (std::vector<std::wstring>{L"merge", L"orders"}));
    EXPECT_FALSE(exists(m_base.path() + DATABASE_TXT_SUBPATH.c_str()));
}

// Whatever becomes of the database, its plain text never stays and nothing
// of a failed one reaches the dialogs.
TEST_F(UpdateCheckFlowTest, DatabaseFailuresLeaveNoTextAndNoOrders) {
    struct Row {
        const char* fixture;
        BOOL secondOsRead;
        ErrorNumber expected;
    };
    for (const Row& row : {Row{"tampered_rules.dat", TRUE, K600}, Row{"broken_rules.dat", TRUE, K601},
                           Row{"rules.dat", FALSE, K901}}) {
        m_actions.files[L"http://h/db"] = read_bytes(Fixture(row.fixture));
        m_actions.secondOsRead = row.secondOsRead;
        m_message.Empty();
        EXPECT_FALSE(Run(RUN_UPDATE_CHECK));
        EXPECT_EQ(m_completed, false) << row.fixture;
        EXPECT_EQ(m_message, ErrorText(row.expected)) << row.fixture;
        EXPECT_FALSE(exists(m_base.path() + DATABASE_TXT_SUBPATH.c_str())) << row.fixture;
        EXPECT_EQ(Order(L"Command", L"dURL"), L"<absent>") << row.fixture;
        if (row.expected != K901) {
            EXPECT_TRUE(m_db.db.title.empty()) << row.fixture;
        }
    }
}

// Without the block nothing runs: the dialog ends the process, and the run
// ends it too should the dialog's routine ever return (the stand-in does).
TEST_F(UpdateCheckFlowTest, SingleInstanceBlockTakenOrBrokenEndsTheRun) {
    struct Row {
        int mode;
        DWORD error;
        bool calledService;
        bool dialogReturns;
        std::vector<std::wstring> calls;  // none when the run goes on
    };
    const std::wstring running = L"small:" + std::wstring(ALREADY_RUNNING_TEXT);
    const std::wstring k902 = L"small:" + ErrorText(K902).str();
    const Row rows[] = {
        {RUN_UPDATE_CHECK, ERROR_ALREADY_EXISTS, false, false, {running}},
        {RUN_UPDATE_LIST_INFO, ERROR_ACCESS_DENIED, false, false, {k902}},
        {RUN_UPDATE_CHECK, ERROR_ALREADY_EXISTS, false, true, {running, L"exit"}},
        {RUN_DOWNLOAD_PELMARCH, ERROR_ACCESS_DENIED, false, true, {k902, L"exit"}},
        {RUN_DOWNLOAD_PELMARCH, ERROR_ALREADY_EXISTS, true, false, {L"exit"}},
        {RUN_OB_WHITE_LIST, ERROR_ALREADY_EXISTS, false, false, {}},  // runs beside another copy
    };
    for (const Row& row : rows) {
        m_actions.blockError = row.error;
        m_actions.smallDialogReturns = row.dialogReturns;
        m_actions.calls.clear();
        EXPECT_EQ(Run(row.mode, row.calledService), !row.calls.empty()) << row.mode << " " << row.dialogReturns;
        if (!row.calls.empty()) {
            EXPECT_EQ(m_actions.calls, row.calls) << row.mode << " " << row.dialogReturns;
        }
    }
}

TEST_F(UpdateCheckFlowTest, SilentRunWithNothingToShowEndsAfterItsOrders) {
    m_actions.installed = ProductVersion{6, 2, 0, L"6.2.0"};
    EXPECT_TRUE(Run(RUN_UPDATE_CHECK, true));
    EXPECT_EQ(m_actions.calls, (std::vector<std::wstring>{L"merge", L"orders", L"exit"}));
    EXPECT_FALSE(m_message2.IsEmpty());  // a secondary text alone is nothing to show
}

TEST_F(UpdateCheckFlowTest, OrdersThatCannotBeWrittenEndOnK812) {
    const std::wstring exchange = ExchangeFile();
    m_actions.lockWhileOrdering = &exchange;
    EXPECT_TRUE(Run(RUN_UPDATE_CHECK));
    EXPECT_EQ(m_actions.calls, (std::vector<std::wstring>{L"merge", L"orders", L"close:" + ErrorText(K812).str()}));
}

TEST_F(UpdateCheckFlowTest, AllowedUrlListInstalledOnlyWhenChanged) {
    struct Row {
        int mode;
        std::string installed;  // "" : none yet
        bool downloadedMissing;
        std::vector<std::wstring> calls;
        CString message;
    };
    const std::string downloaded = "https://a.example/,1\r\n";
    const Row rows[] = {
        {RUN_OB_WHITE_LIST, "", false, {L"merge"}, L""},
        {RUN_OB_WHITE_LIST, "https://old.example/\r\n", false, {L"merge"}, L""},
        {RUN_OB_WHITE_LIST, downloaded, false, {}, L""},
        {RUN_OB_WHITE_LIST, "", true, {}, AllowedUrlListErrorText(false)},
        {RUN_UPDATE_CHECK, "", true, {}, AllowedUrlListErrorText(true)},
    };
    for (const Row& row : rows) {
        RemoveTree(m_base / L"whitelist");
        MakeFolder(m_base / L"whitelist");
        DeleteFileW(m_paths.downloadedWhiteList.c_str());
        if (row.downloadedMissing) m_actions.files.erase(L"http://h/white");
        else m_actions.files[L"http://h/white"] = downloaded;
        if (!row.installed.empty()) write_bytes(m_paths.whiteListBase + L".txt", row.installed);
        m_actions.calls.clear();
        m_message.Empty();
        EXPECT_FALSE(Run(row.mode));
        EXPECT_EQ(m_actions.calls, row.calls) << row.installed;
        EXPECT_EQ(m_message, row.message) << row.installed;
        if (row.message.IsEmpty()) {
            EXPECT_EQ(read_bytes(m_paths.whiteListBase + L".txt"), downloaded);
        }
    }
}

// A list too large to be held whole is compared whole all the same: served
// again unchanged, it is neither installed nor merged a second time.
TEST_F(UpdateCheckFlowTest, ALargeListServedTwiceLeavesOneBackup) {
    std::string large;
    while (large.size() <= 3 * 102400) large += "https://u" + std::to_string(large.size()) + ".example/\r\n";
    m_actions.files[L"http://h/white"] = large;
    write_bytes(m_paths.whiteListBase + L".txt", "https://old.example/\r\n");
    for (const auto& calls : {std::vector<std::wstring>{L"merge"}, std::vector<std::wstring>{}}) {
        m_actions.calls.clear();
        EXPECT_FALSE(Run(RUN_OB_WHITE_LIST));
        EXPECT_EQ(m_actions.calls, calls);
        EXPECT_TRUE(m_message.IsEmpty());
    }
    EXPECT_EQ(read_bytes(m_paths.whiteListBase + L".txt"), large);
    int backups = 0;
    WIN32_FIND_DATAW found;
    const win::FindHandle search(FindFirstFileW((m_paths.whiteListBase + L".2*.txt").c_str(), &found));
    for (bool more = search.valid(); more; more = FindNextFileW(search.get(), &found)) ++backups;
    EXPECT_EQ(backups, 1);
}

TEST_F(UpdateCheckFlowTest, AuxiliaryUpdateDueByModeAndGate) {
    struct Row {
        int mode;
        bool noUseFlag;
        const char* exchange;  // before the run
        int flag;
        std::wstring order;  // [Pelmarch] is_new afterwards
    };
    const char* const earlierOrder = "[Pelmarch]\r\nis_new=1\r\n";
    const Row rows[] = {
        {RUN_DOWNLOAD_PELMARCH, true, earlierOrder, 1, L"1"},  // asked for by the client: no gate
        {RUN_DOWNLOAD_PELMARCH, false, "", 1, L"1"},
        {RUN_UPDATE_LIST_INFO, false, earlierOrder, 0, L"<absent>"},
        // Without the block the orders are another run's: neither given
        // again (after the user declined it there) nor taken away.
        {RUN_OB_WHITE_LIST, false, "", 0, L"<absent>"},
        {RUN_OB_WHITE_LIST, true, earlierOrder, 0, L"1"},
    };
    m_actions.aux.needs_update = true;
    m_actions.aux.required = VersionNumber(L"2.1");
    for (const Row& row : rows) {
        WriteFileBytes(ExchangeFile(), row.exchange);
        if (row.noUseFlag) write_bytes(m_paths.noUseFlag, "");
        else DeleteFileW(m_paths.noUseFlag.c_str());
        m_env.auxAppUpdate = 0;
        m_env.os.major = 0;
        EXPECT_FALSE(Run(row.mode));
        EXPECT_EQ(m_env.auxAppUpdate, row.flag) << row.mode;
        // Read before any early end: the end of the run asks old Windows'
        // users for administrator rights.
        EXPECT_EQ(m_env.os.major, 10u) << row.mode;
        EXPECT_EQ(Order(L"Pelmarch", L"is_new"), row.order) << row.mode;
    }
}

// The allowed-URL run beside a waiting update check: with an auxiliary
// update due and a changed list it still leaves the exchange file byte for
// byte, and its self-check may not blank the client-download order.
TEST_F(UpdateCheckFlowTest, ARunWithoutTheBlockLeavesTheOrdersAlone) {
    const std::string orders =
        "[Command]\r\nuninst=u\r\ndURL=\"https://update.example/setup.exe\"\r\ncacerts=0\r\n";
    WriteFileBytes(ExchangeFile(), orders);
    m_actions.aux.needs_update = true;
    m_actions.aux.required = VersionNumber(L"2.1");
    EXPECT_FALSE(Run(RUN_OB_WHITE_LIST));
    EXPECT_EQ(m_completed, true);
    EXPECT_EQ(m_actions.calls, std::vector<std::wstring>{L"merge"});
    EXPECT_FALSE(m_actions.checkOwnedOrders);
    EXPECT_EQ(read_bytes(ExchangeFile()), orders);
}

}  // namespace

namespace {

// What a run of the progress dialog comes to: the time-out before the
// cancel it causes, a given-up proxy authentication as a cancel, else the
// failing file by position; only OK without a recorded failure is success.
TEST(DownloadOutcome, DialogResultsAndTheirTexts) {
    struct Row {
        INT_PTR dialog;
        int result, cancelled, category, code, finished;
        bool succeeded;
        CString text;  // when not succeeded
    };
    const Row rows[] = {
        {IDOK, DOWNLOAD_DONE, 0, DOWNLOAD_NO_ERROR, 0, 4, true, L""},
        {IDCANCEL, DOWNLOAD_TIMED_OUT, 1, DOWNLOAD_NO_ERROR, 0, 2, false, ErrorText(K502)},
        {IDCANCEL, DOWNLOAD_DONE, 1, DOWNLOAD_NO_ERROR, 0, 1, false, DOWNLOAD_CANCELLED_TEXT},
        {IDCANCEL, DOWNLOAD_FAILED, 0, DOWNLOAD_NO_ERROR, 9999, 0, false, DOWNLOAD_CANCELLED_TEXT},
        {IDCANCEL, DOWNLOAD_FAILED, 0, DOWNLOAD_REQUEST_FAILED, 404, 2, false, DownloadErrorText(2, 404)},
        {IDOK, DOWNLOAD_FAILED, 0, DOWNLOAD_READ_FAILED, 112, 3, false, DownloadErrorText(3, 112)},
        {-1, DOWNLOAD_DONE, 0, DOWNLOAD_NO_ERROR, 0, 0, false, DownloadErrorText(0, 0)},  // never ran
    };
    for (const Row& row : rows) {
        DownloadResult result;
        result.result = row.result;
        result.cancelled = row.cancelled;
        result.error_category = row.category;
        result.error_code = row.code;
        result.finished_count = row.finished;
        EXPECT_EQ(DownloadSucceeded(row.dialog, result), row.succeeded) << row.dialog << " " << row.code;
        if (!row.succeeded) {
            EXPECT_EQ(DownloadFailureText(result), row.text) << row.dialog << " " << row.code;
        }
    }
}

}  // namespace
