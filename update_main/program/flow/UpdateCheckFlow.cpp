#include "flow/UpdateCheckFlow.h"

#include <ctime>

#include "allowlist/FileBackup.h"
#include "auxapp/AuxAppUpdate.h"
#include "commandline/RunMode.h"
#include "messages/UserMessages.h"
#include "paths/PathConstants.h"
#include "qen_lib/envelope/envelope.h"

DownloadList MakeDownloadList(int runMode, CUpdateDataStore& store, const ExpandedPathSet& paths) {
    const std::wstring& base = store.BaseFolder();
    DownloadList list;
    if (runMode == RUN_UPDATE_CHECK) {
        list.push_back({store.GetDatabaseUrl(), (base + DATABASE_DAT_SUBPATH.c_str()).c_str()});
        list.push_back({store.GetCertsUrl(), (base + CACERTS_CAB_SUBPATH.c_str()).c_str()});
    }
    if (runMode != RUN_OB_WHITE_LIST) list.push_back({store.GetUpdateListUrl(), paths.updateList.c_str()});
    if (runMode != RUN_UPDATE_LIST_INFO)
        list.push_back({store.GetWhiteListUrl(), paths.downloadedWhiteList.c_str()});
    return list;
}

UpdateCheckFlow::UpdateCheckFlow(UpdateCheckState& state, UpdateFlowActions& actions, const UpdatePathSet& templates)
    : m_state(state), m_actions(actions), m_templates(templates) {}

bool UpdateCheckFlow::Run(const wchar_t* installDir) {
    const int mode = m_state.runMode;
    // The allowed-URL-only run is started beside a running check by design
    // and takes no block: the orders of the exchange file are then the other
    // run's, and this one neither writes nor blanks any of them.
    if (mode != RUN_OB_WHITE_LIST) {
        if (!TakeSingleInstanceBlock()) return false;
        m_ownsOrders = true;
    }

    m_actions.ReadInstalledVersion(m_state.env);
    if (!m_actions.CheckInstallation(m_state.message, m_ownsOrders)) {
        // A self-check that stops without a word found no common
        // application-data folder: never a silent success.
        if (m_state.message.IsEmpty()) m_state.message = ErrorText(K900);
        return false;
    }
    if (!m_state.store.GetBaseFolder()) return Fail(K900);

    // Read here, not only with the rules: the end of every run asks an old
    // Windows' user for administrator rights, and a version never read looks old.
    m_actions.ReadOsVersion(m_state.env);
    UpdatePathSet templates = m_templates;
    const int osParts[] = {static_cast<int>(m_state.env.os.major), static_cast<int>(m_state.env.os.minor)};
    templates.osVersion = VersionNumber(osParts, osParts + 2);
    const ExpandedPathSet paths(templates);
    // A file we cannot name cannot be fetched, compared or installed.
    if (paths.updateList.empty() || paths.downloadedWhiteList.empty() || paths.whiteListBase.empty())
        return Fail(K900);

    const DownloadList list = MakeDownloadList(mode, m_state.store, paths);
    // An auxiliary-application order of an earlier run must not outlive a
    // run that finds none due.
    if (m_ownsOrders && !m_state.store.DeleteAuxAppUpdate()) return Fail(K812);
    if (!m_actions.DownloadAll(m_state.message, list)) return false;
    if (mode == RUN_UPDATE_LIST_INFO) return true;
    return ApplyDownloads(paths, installDir);
}

bool UpdateCheckFlow::Fail(ErrorNumber number) {
    m_state.message = ErrorText(number);
    return false;
}

bool UpdateCheckFlow::ApplyDownloads(const ExpandedPathSet& paths, const wchar_t* installDir) {
    const int mode = m_state.runMode;
    bool packageNewer = false;
    if (mode == RUN_UPDATE_CHECK && !m_actions.UpdateRootCertPackage(packageNewer, m_state.message, installDir))
        return false;

    bool auxWriteOk = true;
    const bool auxDue = DecideAuxAppUpdate(paths, auxWriteOk);
    if (!InstallAllowedUrlList(paths)) return false;
    if (auxDue && auxWriteOk) m_state.env.auxAppUpdate = 1;
    // The secondary program must never start on an order it cannot read.
    if (mode != RUN_UPDATE_CHECK) return auxWriteOk || Fail(K812);

    const std::wstring& base = m_state.store.BaseFolder();
    if (!ApplyRuleDatabase(base + DATABASE_DAT_SUBPATH.c_str(), base + DATABASE_TXT_SUBPATH.c_str())) return false;
    if (packageNewer && m_state.env.dURL.empty()) m_state.env.rootCertUpdate = 1;

    if (!WriteOrders() || !auxWriteOk) {
        Fail(K812);
        m_actions.ShowCloseAndExit(m_state.message);
        return false;
    }
    // A silent run with nothing to tell or to do ends here.
    if (m_state.calledService && !packageNewer && !auxDue && m_state.env.dURL.empty() && m_state.message.IsEmpty())
        m_actions.EndProcess(1);
    return true;
}

bool UpdateCheckFlow::TakeSingleInstanceBlock() {
    if (m_actions.CreateHandOverBlock()) return true;
    const DWORD error = ::GetLastError();
    if (m_state.calledService) {
        m_actions.EndProcess(1);
        return false;
    }
    m_state.message = error == ERROR_ALREADY_EXISTS ? CString(ALREADY_RUNNING_TEXT) : ErrorText(K902);
    m_actions.ShowSmallCloseAndExit(m_state.message);
    // Never past here: a run without the block must not go on to its ending,
    // which would clear the orders of the instance that holds it.
    m_actions.EndProcess(1);
    return false;
}

bool UpdateCheckFlow::DecideAuxAppUpdate(const ExpandedPathSet& paths, bool& auxWriteOk) {
    // An order may only come from the run that owns the orders.
    if (!m_ownsOrders) return false;
    const AuxAppVersionInfo info = m_actions.GetAuxAppVersionInfo(paths.updateList);
    if (!info.needs_update) return false;
    if (m_state.runMode != RUN_DOWNLOAD_PELMARCH &&
        !IsAuxAppUpdateAllowed(paths.templates.osVersion, paths.noUseFlag, paths.templates.gate))
        return false;
    auxWriteOk = m_state.store.WriteAuxAppUpdate(info) != FALSE;
    return true;
}

bool UpdateCheckFlow::InstallAllowedUrlList(const ExpandedPathSet& paths) {
    if (!paths.WhiteListDigests().differ) return true;
    const OperationResult installed =
        ReplaceFileWithBackup(paths.whiteListBase, paths.templates.extension, paths.downloadedWhiteList);
    if (installed.status != 0) {
        m_state.message = AllowedUrlListErrorText(m_state.runMode == RUN_UPDATE_CHECK);
        return false;
    }
    m_actions.MergeAllowedUrls();
    return true;
}

bool UpdateCheckFlow::ApplyRuleDatabase(const std::wstring& databaseFile, const std::wstring& databaseText) {
    const BOOL deciphered = DecryptDataFile(databaseFile.c_str(), databaseText.c_str());
    const bool loaded = deciphered && m_state.db.Load(databaseText.c_str());
    // The rules are read once: their plain text never stays on disk, whatever
    // came of the deciphering or the load.
    ::DeleteFileW(databaseText.c_str());
    if (!loaded) {
        // Nothing of a database that failed part way may reach the dialogs.
        m_state.db = UpdateDatabase();
        return Fail(deciphered ? K601 : K600);
    }

    EnvironmentInfo& env = m_state.env;
    std::tm local{};
    env.ReadToday(local);
    env.ComputeNextCheckDate(local, m_state.db.interval_days, m_state.db.spread_days);
    const BOOL osRead = m_actions.ReadOsVersion(env);
    env.ReadWow64();
    if (!osRead) return Fail(K901);
    // The rules' own texts go to the same messages: they are no error.
    return m_state.db.Evaluate(env, m_state.message, m_state.message2) || Fail(K601);
}

CString UpdateCheckFlow::FindUninstallCommand() const {
    const ProductVersion& installed = m_state.env.installed;
    for (const CommandEntry& command : m_state.db.db.commands) {
        if (command.major == installed.major && command.minor == installed.minor &&
            command.sub_minor == installed.sub_minor)
            return command.text.c_str();
    }
    return CString();
}

bool UpdateCheckFlow::WriteOrders() {
    m_actions.OrdersWritten();
    EnvironmentInfo& env = m_state.env;
    CUpdateDataStore& store = m_state.store;
    env.probability = m_state.db.db.trailer.probability;
    env.hour = m_state.db.db.trailer.hour;
    // Every order is written even after a failed one, so the exchange file
    // holds as much of this run as it can take; any failure is reported.
    bool ok = store.WriteNextCheckDate(env.next_check.day, env.next_check.month, env.next_check.year) != FALSE;
    ok = store.WriteSleep(env.probability, env.hour) && ok;
    ok = store.WriteProductVersion(env.installed) && ok;
    ok = store.WriteCommand(FindUninstallCommand(), env.dURL.c_str()) && ok;
    ok = store.WriteMessage(m_state.db.db.raw_title.c_str()) && ok;
    // A lost uninstall list would leave old clients behind unreported.
    ok = store.WriteUninstallAll(m_state.db.JoinCommands().c_str()) && ok;
    ok = store.WriteCacerts(env.rootCertUpdate) && ok;
    return ok;
}
