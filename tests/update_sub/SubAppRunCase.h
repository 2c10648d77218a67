#pragma once
// One row of the secondary program's decision table: the orders, the
// machine the run meets, and what the run must come to.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "download/DownloadList.h"

const std::wstring kGuid = L"{11111111-2A6F-4D08-9B5E-C41F0A7D3E62}";
const std::wstring kRefusedEntry = L"/x {22222222-2A6F-4D08-9B5E-C41F0A7D3E62} & calc";
constexpr wchar_t kClientUrl[] = L"https://dl.example.jp/velmo/Velmo.exe";
constexpr wchar_t kAuxSetupUrl[] = L"https://dl.example.jp/pelmarch/setup.exe";
constexpr wchar_t kAuxMsiUrl[] = L"https://dl.example.jp/pelmarch/Pelmarch.msi";

enum class Client { NoUpdate, Update, UpdateWithoutScript };
enum class Dialog { None, Closing, Small };

struct Orders {
    const wchar_t* installed;  // [Velmo] ver; "" for no client
    Client client;
    bool auxApp;               // [Pelmarch] is_new
    const wchar_t* cacerts;    // [Command] cacerts as written
    const wchar_t* arguments = L"";
    std::wstring uninstallAll = L"";
};

struct DownloadAnswer {
    INT_PTR dialogResult;
    int errorCategory;
    int errorCode;
    int cancelled;
    int missingFiles;  // files of the list not finished
};

const DownloadAnswer kDownloaded{IDOK, DOWNLOAD_NO_ERROR, 0, 0, 0};

// What lay where a setup is fetched to, before the run: a folder of a
// user's own with a DLL for the setup to load and a setup of their own; the
// same with every name of the set-aside scheme before ours (".aside1" to
// ".aside100") taken; that folder held open without delete sharing, as
// another program may, so that it cannot be moved; an earlier run's
// admin-only folder with what it left; or a link to a folder of someone
// else's (a victim), which holds a file of the setup's name.
enum class Planted { Nothing, Folder, FolderWithAsideNamesTaken, HeldFolder, EarlierRun, Link };

struct Machine {
    DownloadAnswer download = kDownloaded;
    const wchar_t* unsignedFile = L"";      // "client", "auxSetup" or "auxMsi"
    const wchar_t* setupInstalls = L"6.2.0";  // version the setup leaves; "": none; null: it does not start
    bool admin = true;
    bool hardened = true;
    bool uninstallerRemovesClient = true;
    bool certificatesOk = true;
    bool zavaZuvazWithoutProperties = false;
    Planted planted = Planted::Nothing;          // where the client setup is fetched to
    Planted downloadPlanted = Planted::Nothing;  // ...\data\download
    Planted tempPlanted = Planted::Nothing;      // ...\temp, the programs' TEMP
};

struct Expected {
    Dialog dialog;
    const wchar_t* message;  // what the dialog's message holds
    const wchar_t* label;    // the version in the closing dialog's label
    std::vector<std::wstring> started;
    const wchar_t* certificateClient;  // "old", "new", "" (no client) or null: no certificate step
};

struct RunCase {
    const char* name;
    Orders orders;
    Machine machine;
    Expected expected;
};

// [Command] uninst runs as it stands; uninst_all entries end in "/q".
const std::wstring kRemoveOld[] = {L"msiexec /x " + kGuid + L" /passive", L"C:\\v\\velmo.exe /uninst", L"wscript"};
const std::wstring kUpgrade = L"setup /v\"VELMO_VERSION_UP=1 DO_NOT_LAUNCH_VELMO_INIT=1\"";
const std::wstring kFresh = L"setup /v\"DO_NOT_LAUNCH_VELMO_INIT=1\"";

inline std::vector<std::wstring> Started(std::initializer_list<std::wstring> steps, bool removeOld = true) {
    std::vector<std::wstring> started;
    if (removeOld) started.assign(std::begin(kRemoveOld), std::end(kRemoveOld));
    started.insert(started.end(), steps);
    return started;
}

constexpr wchar_t kInstalled[] = L"「Velmoご利用ソフト」がインストールされました。";
constexpr wchar_t kCancelled[] = L"「Velmoご利用ソフト」のダウンロードをキャンセルしました。";
constexpr wchar_t kRootsUpdated[] = L"ルート証明書を更新しました。";
