// The uninstall steps as command lines: which programs start, by which path,
// with which arguments, and what is refused. The registry uninstall strings
// come from a key of the test's own.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "InstallFakes.h"
#include "install/DeploymentScript.h"
#include "install/OldClientUninstall.h"
#include "install/RegistryUninstall.h"
#include "support/StateFixtures.h"
#include "win/handle.h"

namespace {
const std::wstring kGuid = PRODUCT_CODE;
const std::wstring kShield = L"InstallShield_" + PRODUCT_CODE;
}  // namespace

TEST(MakeCommandLine, QuotesTheProgramAndAppendsTheArguments) {
    struct Case {
        const wchar_t* program;
        const wchar_t* arguments;
        const wchar_t* line;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Velmo\\Velmo.exe", L"/v\"X=1\"", L"\"C:\\Program Files\\Velmo\\Velmo.exe\" /v\"X=1\""},
        {L"\"C:\\a b\\x.exe\" /s", L"y", L"\"C:\\a b\\x.exe\" /s y"},
        {L"C:\\a b\\x.exe /s", L"y", L"\"C:\\a b\\x.exe\" /s y"},
        {L"C:\\a\\VelmoInit.exe", L"", L"\"C:\\a\\VelmoInit.exe\" "},
        {L"C:/a/x.exe", L"", L"\"C:/a/x.exe\" "},
    };
    for (const Case& c : cases) EXPECT_EQ(MakeCommandLine(c.program, c.arguments), c.line) << c.program;
}

TEST(ReadUninstallString, OnlyTerminatedTextOfTheTwoStringTypes) {
    struct Case {
        const char* name;
        DWORD type;
        std::wstring data;  // stored as it stands, NULs included, nothing added
        const wchar_t* command;  // nullptr: not taken
    };
    const std::wstring uninstaller = L"C:\\Velmo\\uninst.exe";
    const std::wstring longest(UNINSTALL_STRING_BYTES / sizeof(wchar_t), L'a');
    // The system's folders, whatever the environment of the process says.
    wchar_t folder[MAX_PATH] = {};
    ASSERT_NE(GetWindowsDirectoryW(folder, MAX_PATH), 0u);
    const std::wstring inWindows = folder + std::wstring(L"\\u.exe");
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder), S_OK);
    const std::wstring inProgramFiles = L"\"" + std::wstring(folder) + L"\\Velmo\\u.exe\" /s";
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder), S_OK);
    const std::wstring inProgramData = folder + std::wstring(L"\\ZRV\\u.exe");
    const ScopedEnvironmentVariable windir(L"windir", L"C:\\Decoy"), systemRoot(L"SystemRoot", L"C:\\Decoy"),
        programFiles(L"ProgramFiles", L"C:\\Decoy"), programData(L"ProgramData", L"C:\\Decoy"),
        own(L"VUT_UNINST_DIR", L"C:\\Velmo");
    const Case cases[] = {
        {"REG_SZ", REG_SZ, uninstaller + L'\0', L"C:\\Velmo\\uninst.exe"},
        {"REG_SZ unterminated", REG_SZ, uninstaller, L"C:\\Velmo\\uninst.exe"},
        {"REG_EXPAND_SZ expanded", REG_EXPAND_SZ, std::wstring(L"%SystemRoot%\\u.exe") + L'\0', inWindows.c_str()},
        {"REG_EXPAND_SZ unterminated", REG_EXPAND_SZ, L"%WINDIR%\\u.exe", inWindows.c_str()},
        {"REG_EXPAND_SZ program files", REG_EXPAND_SZ, L"\"%ProgramFiles%\\Velmo\\u.exe\" /s", inProgramFiles.c_str()},
        {"REG_EXPAND_SZ application data", REG_EXPAND_SZ, L"%ProgramData%\\ZRV\\u.exe", inProgramData.c_str()},
        {"REG_EXPAND_SZ naming a variable of the environment refused", REG_EXPAND_SZ, L"%VUT_UNINST_DIR%\\u.exe",
         nullptr},
        {"REG_EXPAND_SZ naming a user's folder refused", REG_EXPAND_SZ, L"%USERPROFILE%\\u.exe", nullptr},
        {"REG_MULTI_SZ refused", REG_MULTI_SZ, uninstaller + L'\0' + L'\0', nullptr},
        {"REG_BINARY refused", REG_BINARY, uninstaller + L'\0', nullptr},
        {"REG_DWORD refused", REG_DWORD, std::wstring(2, L'\x1'), nullptr},
        {"a NUL inside", REG_SZ, uninstaller + L'\0' + L" /evil" + L'\0', nullptr},
        {"empty", REG_SZ, std::wstring(1, L'\0'), nullptr},
        {"longest unterminated", REG_SZ, longest, longest.c_str()},
        {"longest and its NUL", REG_SZ, longest + L'\0', nullptr},
        {"odd byte count", REG_SZ, uninstaller, nullptr},  // written one byte short below
    };
    for (const Case& c : cases) {
        TestRegistryKey keys;
        if (std::string(c.name) == "odd byte count") {
            keys.SetValue(L"ZRV Velmo", L"UninstallString", c.type, c.data.data(),
                          static_cast<DWORD>(c.data.size() * sizeof(wchar_t) - 1));
        } else {
            keys.SetUnterminated(L"ZRV Velmo", L"UninstallString", c.type, c.data);
        }
        EXPECT_EQ(ReadUninstallString(keys.Place(), L"ZRV Velmo").value_or(L"<refused>"),
                  c.command ? c.command : L"<refused>")
            << c.name;
    }
}

// An unterminated value must not carry what follows it in memory into the
// command: the suffix comes right after its last character.
TEST(RunRegistryUninstallers, FourKeysInOrderWithTheirSuffixes) {
    TestRegistryKey keys;
    keys.SetText(kShield, L"UninstallString", L"C:\\is\\setup.exe");
    keys.SetUnterminated(L"ZRV Velmo", L"UninstallString", REG_SZ, L"C:\\v\\velmo.exe");
    keys.SetText(L"Halvern VORNPATH", L"UninstallString", L"C:\\h\\remove.exe", REG_EXPAND_SZ);
    keys.SetText(L"ZRV Velmo e-Tax Option Tool", L"UninstallString", L"C:\\e\\setup.exe");
    for (const bool withUninst : {true, false}) {
        RecordingRunner runner;
        RunRegistryUninstallers(runner, keys.Place(), withUninst);
        EXPECT_EQ(runner.started, (std::vector<std::wstring>{
                                      L"C:\\is\\setup.exe /uninst",
                                      withUninst ? L"C:\\v\\velmo.exe /uninst" : L"C:\\v\\velmo.exe",
                                      L"C:\\h\\remove.exe -a",
                                      L"C:\\e\\setup.exe /uninst",
                                  }));
    }
}

TEST(UninstallOldClient, RegistryUpTo210ElseOneCheckedMsiExecOrder) {
    struct Case {
        const char* name;
        ProductVersion installed;
        std::wstring uninstall;
        std::vector<std::wstring> started;
        std::vector<std::wstring> refused;
        bool result;
    };
    const std::wstring msiExec = QuotedSystemProgram(L"msiexec.exe");
    const ProductVersion v210{2, 1, 0, L"2.1.0"}, v205{2, 0, 5, L"2.0.5"}, v211{2, 1, 1, L"2.1.1"},
        v619{6, 1, 9, L"6.1.9"};
    const Case cases[] = {
        {"2.1.0", v210, L"", {L"C:\\v\\velmo.exe /uninst"}, {}, true},
        {"2.0.5", v205, L"", {L"C:\\v\\velmo.exe"}, {}, true},
        {"2.1.1: the order as it stands", v211, L"/x " + kGuid + L" /passive",
         {msiExec + L" /x " + kGuid + L" /passive"}, {}, true},
        {"switches and blanks as given", v619, L" /X " + kGuid + L"  /qn", {msiExec + L"  /X " + kGuid + L"  /qn"}, {},
         true},
        {"a separator", v619, L"/x " + kGuid + L";", {}, {L"/x " + kGuid + L";"}, false},
        {"order with a command", v619, L"/x " + kGuid + L" & calc", {}, {L"/x " + kGuid + L" & calc"}, false},
        {"two products", v619, L"/x " + kGuid + L";/x " + kGuid, {}, {L"/x " + kGuid + L";/x " + kGuid}, false},
        {"no order", v619, L"  ", {}, {}, false},
    };
    TestRegistryKey keys;
    keys.SetText(L"ZRV Velmo", L"UninstallString", L"C:\\v\\velmo.exe");
    for (const Case& c : cases) {
        RecordingRunner runner;
        std::vector<std::wstring> refused;
        EXPECT_EQ(UninstallOldClient(runner, c.installed, c.uninstall, keys.Place(), refused), c.result) << c.name;
        EXPECT_EQ(runner.started, c.started) << c.name;
        EXPECT_EQ(refused, c.refused) << c.name;
    }
}

// Runs from directly beside the programs only, judged by where the file
// really is. Windows only: a script elsewhere that SYSTEM, the Administrators
// or TrustedInstaller own, with every folder above it, and that nobody else
// may change, runs too (EntrySecurityTest judges such lists); Wine keeps no
// owners, so there every such file reads as a user's and is refused.
TEST(RunVbsFile, OnlyFromBesideTheProgramsByTheHeldFilesFinalPath) {
    const std::wstring beside = TestProgramFolder() + L"\\vut-beside-";
    const std::wstring links = PlantedLinks();
    TempFolder elsewhere, data;
    WriteFileBytes(elsewhere / L"deploy.vbs", "WScript.Quit 0\r\n");
    WriteFileBytes(data / L"deploy.vbs", "WScript.Quit 0\r\n");
    struct Case {
        const char* name;
        std::wstring vbsFile;
        bool runs;  // as beside\deploy.vbs; else refused and named
    };
    const std::wstring script = beside + L"deploy.vbs";
    const Case cases[] = {
        {"beside the programs", script, true},
        {"through a link that leads beside the programs", links + L"\\to-programs\\vut-beside-deploy.vbs", true},
        {"in a folder below the programs' folder", beside + L"below\\deploy.vbs", false},
        {"beside the programs through a link that leads out", beside + L"to-outside\\deploy.vbs", false},
        {"a file link beside the programs that leads out", beside + L"outside.vbs", false},
        {"in the data folder", data / L"deploy.vbs", false},
        {"elsewhere, a user's file", elsewhere / L"deploy.vbs", false},
        {"relative", L"deploy.vbs", false},
        {"drive-relative", script.substr(2), false},
        {"drive without a separator", script.substr(0, 2) + script.substr(3), false},
        {"missing", beside + L"missing.vbs", false},
        {"a folder", beside + L"folder.vbs", false},
        {"a quote", script + L"\" //E:jscript C:\\x.js", false},
        {"a quote only", L"\"" + script + L"\"", false},
    };
    for (const Case& c : cases) {
        RecordingRunner runner;
        std::vector<std::wstring> refused;
        EXPECT_EQ(RunVbsFile(runner, c.vbsFile, data.path(), refused), c.runs) << c.name;
        const std::vector<std::wstring> started{QuotedSystemProgram(L"wscript.exe") + L" \"" + script + L"\""};
        EXPECT_EQ(runner.started, c.runs ? started : std::vector<std::wstring>()) << c.name;
        EXPECT_EQ(refused, c.runs ? std::vector<std::wstring>() : std::vector<std::wstring>{c.vbsFile}) << c.name;
    }
    RecordingRunner runner;
    std::vector<std::wstring> refused;
    EXPECT_FALSE(RunVbsFile(runner, L"", data.path(), refused));
    EXPECT_TRUE(refused.empty()) << "no setting, nothing to name";
    // A data folder that lies among the programs is still the user's, and
    // without the data folder nothing can be told to lie outside it.
    EXPECT_FALSE(RunVbsFile(runner, script, TestProgramFolder(), refused));
    EXPECT_FALSE(RunVbsFile(runner, script, L"", refused));
    // A share is refused before it is opened. Only Windows can show that it
    // is never asked; Wine reaches no share here.
    EXPECT_FALSE(RunVbsFile(runner, L"\\\\server\\share\\deploy.vbs", data.path(), refused));
    EXPECT_TRUE(runner.started.empty());
    EXPECT_EQ(refused, (std::vector<std::wstring>{script, script, L"\\\\server\\share\\deploy.vbs"}));
}

// Held from its check until wscript has ended: nobody can change, replace,
// rename or delete it in between.
TEST(RunVbsFile, TheScriptCannotBeReplacedWhileItRuns) {
    const ScriptBesideTheProgram script;
    RecordingRunner runner;
    std::vector<DWORD> errors;
    runner.onRun = [&](const std::wstring&) {
        const win::FileHandle writer(CreateFileW(script.path().c_str(), GENERIC_WRITE,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
        errors.push_back(writer ? ERROR_SUCCESS : GetLastError());
        errors.push_back(MoveFileExW(script.path().c_str(), (script.path() + L".old").c_str(), 0) ? ERROR_SUCCESS
                                                                                                    : GetLastError());
        errors.push_back(DeleteFileW(script.path().c_str()) ? ERROR_SUCCESS : GetLastError());
    };
    std::vector<std::wstring> refused;
    const TempFolder data;
    EXPECT_TRUE(RunVbsFile(runner, script.path(), data.path(), refused));
    EXPECT_EQ(errors, std::vector<DWORD>(3, ERROR_SHARING_VIOLATION));
    EXPECT_EQ(testing_support::read_bytes(script.path()), "WScript.Quit 0\r\n");
}
