// The product's runner on real programs under Wine: a probe that records the
// command line it got, MsiExec and wscript of the prefix.
//
// Wine cannot show: a real product removed by MsiExec (the prefix has none
// installed), or a setup that asks for elevation (Wine gives every process
// a full administrator's token).
#include <gtest/gtest.h>

#include <windows.h>

#include "InstallFakes.h"
#include "install/ClientSetup.h"
#include "install/DeploymentScript.h"
#include "install/OldClientUninstall.h"
#include "support/StateFixtures.h"

namespace {

std::wstring ProbeProgram() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\')) + L"\\command_line_probe.exe";
}

std::wstring ReadWide(const std::wstring& path) {
    const std::string bytes = testing_support::read_bytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

}  // namespace

// The setup in a folder with a blank gets its "/v" argument whole, and the
// runner returns only once the program has ended.
TEST(ProcessRunner, RunsTheSetupWithItsArgumentAndWaitsForIt) {
    TempFolder folder;
    const std::wstring setup = folder / L"Velmo Setup\\Velmo.exe";
    MakeFolder(folder / L"Velmo Setup");
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), setup.c_str(), FALSE));
    const std::wstring out = folder / L"line.txt";
    SetEnvironmentVariableW(L"VUT_PROBE_OUT", out.c_str());
    ProcessRunner runner;
    for (const int state : {1, 0}) {
        DeleteFileW(out.c_str());
        EXPECT_TRUE(RunAndWait(runner, setup, SetupArguments(state)));
        EXPECT_EQ(ReadWide(out), L"\"" + setup + L"\" " + SetupArguments(state));
    }
    SetEnvironmentVariableW(L"VUT_PROBE_OUT", nullptr);
}

// A program named msiexec.exe beside ours runs instead of the system's when
// started by bare name; the uninstall starts the system's by full path, and
// the prefix's MsiExec answers the unknown product at once.
TEST(ProcessRunner, MsiExecOfTheSystemFolderNotOneBesideUs) {
    TempFolder folder;
    const std::wstring planted = ProbeProgram().substr(0, ProbeProgram().find_last_of(L'\\')) + L"\\msiexec.exe";
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), planted.c_str(), FALSE));
    const std::wstring out = folder / L"planted-ran.txt";
    SetEnvironmentVariableW(L"VUT_PROBE_OUT", out.c_str());
    ProcessRunner runner;
    TestRegistryKey keys;
    const std::wstring order = L" ;/x {00000000-0000-0000-0000-000000000001} /qn";
    EXPECT_TRUE(RunMsiUninstalls(runner, order, keys.Place()).empty());
    EXPECT_FALSE(testing_support::exists(out));
    EXPECT_TRUE(runner.RunCommandLineAndWait(L"msiexec.exe /x {00000000-0000-0000-0000-000000000001} /qn"));
    EXPECT_TRUE(testing_support::exists(out)) << "the planted program would have run by bare name";
    SetEnvironmentVariableW(L"VUT_PROBE_OUT", nullptr);
    DeleteFileW(planted.c_str());
}

// wscript reads the script that we hold open while it runs. Windows only:
// Wine's wscript opens its script without any sharing, so it cannot read one
// that is held open.
TEST(ProcessRunner, WscriptRunsTheHeldScript) {
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "Windows only: Wine's wscript cannot read a script held open";
    TempFolder folder;
    const std::wstring mark = folder / L"ran.txt";
    std::string text = "CreateObject(\"Scripting.FileSystemObject\").CreateTextFile(\"";
    for (const wchar_t c : mark) text += static_cast<char>(c);
    text += "\").Close\r\nWScript.Quit 0\r\n";
    const ScriptBesideTheProgram script(text);
    ProcessRunner runner;
    std::vector<std::wstring> refused;
    EXPECT_TRUE(RunVbsFile(runner, script.path(), folder.path(), refused));
    EXPECT_TRUE(testing_support::exists(mark));
}
