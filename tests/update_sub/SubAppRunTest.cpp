// The secondary program's run through its actions: rows of orders, download
// and signer results and what the setup installs, against the closing
// message, the programs started in order with their arguments, and the
// certificate step. The machine is the test's own: a base folder for the
// exchange and settings files, a Windows folder for the client's INI file,
// registry keys for the uninstall strings and the pending renames, and a
// runner whose programs act as the real ones would. WINDIR and ProgramData
// of the environment, which a user's profile can set, point at a decoy with
// a client INI file and a VelmoInit.exe of its own: no row reads the one,
// starts the other or fetches anything below it.
//
// Only Windows can show: that a user cannot write the folders the setups are
// fetched to and run from, and so cannot plant a DLL for them to load (Wine
// keeps no access lists; it makes one up from the folder's mode bits, which
// shows only that the folder grants nobody but its owner and SYSTEM
// anything, where an ordinary folder lets everyone read), and that the
// folder of an earlier run, owned by the Administrators, is removed rather
// than set aside (Wine reports every file as the user's). A link is made
// from the host's side, as a junction would be on Windows.
#include <gtest/gtest.h>

#include "SubAppMachine.h"
#include "SubAppRunCase.h"

namespace {

const RunCase kRunCases[] = {
    {"nothing ordered: K814", {L"", Client::NoUpdate, false, L""}, {},
     {Dialog::Closing, L"K814", L"なし", {}, nullptr}},
    {"a declined certificate order (cacerts empty) is not carried out", {L"6.1.9", Client::NoUpdate, false, L""}, {},
     {Dialog::Closing, L"(エラー：K814)", L"6.1.9", {}, nullptr}},
    {"cacerts other than 1 is no order", {L"6.1.9", Client::NoUpdate, false, L"01"}, {},
     {Dialog::Closing, L"K814", L"6.1.9", {}, nullptr}},
    {"a setup without the deployment's script is no update", {L"6.1.9", Client::UpdateWithoutScript, false, L""}, {},
     {Dialog::Closing, L"K814", L"6.1.9", {}, nullptr}},
    {"no administrator: K700", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", L"6.2.0", false},
     {Dialog::Closing, L"インストールには管理者権限が必要です。\nインストールを中止します(エラー：K700)", L"6.1.9", {},
      nullptr}},
    {"DLL search not hardened: K818", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", L"6.2.0", true, false},
     {Dialog::Closing, L"K818", L"6.1.9", {}, nullptr}},
    {"root certificates only", {L"6.1.9", Client::NoUpdate, false, L"1"}, {},
     {Dialog::Small, kRootsUpdated, nullptr, {}, L"old"}},
    {"root certificates fail: K704", {L"6.1.9", Client::NoUpdate, false, L"1"},
     {kDownloaded, L"", L"6.2.0", true, true, true, false},
     {Dialog::Small, L"K704", nullptr, {}, L"old"}},
    {"/download_pelmarch skips the certificate step", {L"6.1.9", Client::NoUpdate, false, L"1", L"/download_pelmarch"},
     {kDownloaded, L"", L"6.2.0", true, true, true, false},
     {Dialog::Small, kRootsUpdated, nullptr, {}, nullptr}},
    {"6.1.9 to 6.2.0: VelmoInit starts", {L"6.1.9", Client::Update, false, L""}, {},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"6.1.9 again: no VelmoInit", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", L"6.1.9"},
     {Dialog::Closing, kInstalled, L"6.1.9", Started({kUpgrade}), L"new"}},
    {"7.0.0: VelmoInit starts", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", L"7.0.0"},
     {Dialog::Closing, kInstalled, L"7.0.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"first client: nothing of its own to remove", {L"", Client::Update, false, L""}, {},
     {Dialog::Closing, kInstalled, L"6.2.0",
      Started({L"C:\\v\\velmo.exe /uninst", L"wscript", kFresh, L"VelmoInit"}, false), L"new"}},
    {"client and auxiliary application together", {L"6.1.9", Client::Update, true, L""}, {},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"refused uninstall orders are reported, not run",
     {L"6.1.9", Client::Update, false, L"", L"", L" ;" + kRefusedEntry + L" ; ;/x " + kGuid}, {},
     {Dialog::Closing, L"実行しませんでした。\n・/x {22222222-2A6F-4D08-9B5E-C41F0A7D3E62} & calc", L"6.2.0",
      Started({L"msiexec /x " + kGuid + L" /passive", L"msiexec /x " + kGuid + L" /q", L"C:\\v\\velmo.exe /uninst",
               L"wscript", kUpgrade, L"VelmoInit"},
              false),
      L"new"}},
    {"settings the ZavaZuvaz pack loses are named", {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, true},
     {Dialog::Closing,
      L"インストールされました。\nただし以下の情報を引き継げませんでした。"
      L"\n・リポジトリ接続プロトコル設定",
      L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"a user's folder where the setup is fetched to is set aside unread, its DLL never beside the setup",
     {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Folder},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"a user's folder where the setup is fetched to, with .aside1 to .aside100 taken, is still set aside",
     {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::FolderWithAsideNamesTaken},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"a user's folder that cannot be set aside: K501 with its reason, nothing fetched",
     {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::HeldFolder},
     {Dialog::Closing, L"(エラー：K501 , 詳細コード：32)", L"6.1.9", {}, nullptr}},
    {"a user's folder where the programs' TEMP goes is set aside unread, its DLL never in the setup's TEMP",
     {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Nothing, Planted::Nothing, Planted::Folder},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    {"a folder at the programs' TEMP that cannot be set aside: K501 with its reason, nothing fetched or started",
     {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Nothing, Planted::Nothing,
      Planted::HeldFolder},
     {Dialog::Closing, L"(エラー：K501 , 詳細コード：32)", L"6.1.9", {}, nullptr}},
    {"download cancelled", {L"6.1.9", Client::Update, false, L""}, {{IDCANCEL, DOWNLOAD_NO_ERROR, 0, 1, 1}},
     {Dialog::Closing, kCancelled, L"6.1.9", {}, nullptr}},
    {"proxy authentication given up", {L"", Client::NoUpdate, true, L""}, {{IDCANCEL, DOWNLOAD_NO_ERROR, 9999, 0, 2}},
     {Dialog::Closing, kCancelled, L"なし", {}, nullptr}},
    {"client download fails: K501", {L"6.1.9", Client::Update, false, L""},
     {{IDCANCEL, DOWNLOAD_REQUEST_FAILED, 404, 0, 1}},
     {Dialog::Closing, L"ダウンロードに失敗しました(エラー：K501 , 詳細コード：404)", L"6.1.9", {}, nullptr}},
    {"a progress dialog that could not run: K501, though files of an earlier run lie there",
     {L"6.1.9", Client::Update, false, L""}, {{-1, DOWNLOAD_NO_ERROR, 1813, 0, 0}},
     {Dialog::Closing, L"(エラー：K501 , 詳細コード：1813)", L"6.1.9", {}, nullptr}},
    {"OK without every file: K501", {L"6.1.9", Client::Update, true, L""}, {{IDOK, DOWNLOAD_NO_ERROR, 0, 0, 1}},
     {Dialog::Closing, L"(エラー：K501 , 詳細コード：0)", L"6.1.9", {}, nullptr}},
    {"auxiliary download fails: K506", {L"6.1.9", Client::NoUpdate, true, L""},
     {{IDCANCEL, DOWNLOAD_READ_FAILED, 12002, 0, 1}},
     {Dialog::Closing, L"「電子入札補助アプリ」のダウンロードに失敗しました(エラー：K506 , 詳細コード：12002)",
      L"6.1.9", {}, nullptr}},
    {"client setup not the maker's: K602, deleted, nothing runs", {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"client"},
     {Dialog::Closing, L"(エラー：K602)", L"6.1.9", {}, nullptr}},
    {"auxiliary setup not its publisher's: K605", {L"6.1.9", Client::Update, true, L""}, {kDownloaded, L"auxSetup"},
     {Dialog::Closing, L"(エラー：K605)", L"6.1.9", {}, nullptr}},
    {"auxiliary package not its publisher's: K606", {L"6.1.9", Client::NoUpdate, true, L"1"}, {kDownloaded, L"auxMsi"},
     {Dialog::Closing, L"(エラー：K606)", L"6.1.9", {}, nullptr}},
    {"the old client stays: K702, no setup", {L"6.1.9", Client::Update, false, L""},
     {kDownloaded, L"", L"6.2.0", true, true, false},
     {Dialog::Closing, L"アンインストールに失敗しました(エラー：K702)", L"6.1.9", Started({}), nullptr}},
    {"the setup does not start: K701", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", nullptr},
     {Dialog::Closing, L"インストールに失敗しました(エラー：K701)", L"なし", Started({kUpgrade}), L""}},
    {"the setup leaves no client: K701", {L"6.1.9", Client::Update, false, L""}, {kDownloaded, L"", L""},
     {Dialog::Closing, L"K701", L"なし", Started({kUpgrade}), L""}},
    {"no client after the setup, with a certificate order: the certificate result",
     {L"6.1.9", Client::Update, false, L"1"}, {kDownloaded, L"", L"", true, true, true, false},
     {Dialog::Small, L"K704", nullptr, Started({kUpgrade}), L""}},
    {"auxiliary application only, certificates declined: VelmoInit, no certificate step, no dialog",
     {L"6.2.0", Client::NoUpdate, true, L""}, {},
     {Dialog::None, L"", nullptr, {L"VelmoInit"}, nullptr}},
    {"an earlier run's download folder is made anew: nothing of it lies beside the new files",
     {L"6.2.0", Client::NoUpdate, true, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Nothing, Planted::EarlierRun},
     {Dialog::None, L"", nullptr, {L"VelmoInit"}, nullptr}},
    {"a user's download folder is set aside unread, its DLL never beside the auxiliary setup",
     {L"6.1.9", Client::Update, true, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Nothing, Planted::Folder},
     {Dialog::Closing, kInstalled, L"6.2.0", Started({kUpgrade, L"VelmoInit"}), L"new"}},
    // Windows renames the link itself, and the download goes on in a new
    // folder; Wine follows a host link even to rename it, so the link is
    // refused (1921) rather than moving what it leads to.
    {"a link at the download folder is never followed: where it leads stays as it was",
     {L"6.2.0", Client::NoUpdate, true, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Nothing, Planted::Link},
     {Dialog::Closing, L"(エラー：K506 , 詳細コード：1921)", L"6.2.0", {}, nullptr}},
    {"a download folder that cannot be set aside: K506 with its reason, nothing fetched",
     {L"6.2.0", Client::NoUpdate, true, L""},
     {kDownloaded, L"", L"6.2.0", true, true, true, true, false, Planted::Nothing, Planted::HeldFolder},
     {Dialog::Closing, L"(エラー：K506 , 詳細コード：32)", L"6.2.0", {}, nullptr}},
    {"auxiliary only with /download_pelmarch: nothing starts",
     {L"6.2.0", Client::NoUpdate, true, L"", L"/download_pelmarch"}, {},
     {Dialog::None, L"", nullptr, {}, nullptr}},
    {"auxiliary application and root certificates under /download_pelmarch: VelmoInit starts",
     {L"6.2.0", Client::NoUpdate, true, L"1", L"/download_pelmarch"}, {},
     {Dialog::Small, kRootsUpdated, nullptr, {L"VelmoInit"}, nullptr}},
};

}  // namespace

TEST(SubAppRun, DecisionTable) {
    for (const RunCase& row : kRunCases) {
        SCOPED_TRACE(row.name);
        SubAppMachine(row).RunAndCheck();
    }
}
