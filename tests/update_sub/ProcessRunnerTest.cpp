// The product's runner on real programs under Wine: a probe that records the
// command line and the environment it got, MsiExec and wscript of the
// prefix.
//
// Wine cannot show: a real product removed by MsiExec (the prefix has none
// installed), a setup that asks for elevation (Wine gives every process
// a full administrator's token), or a service's environment. Started by a
// service as SYSTEM, our own environment would carry SYSTEM's TEMP,
// C:\Windows\Temp, and the block built for our token SYSTEM's profile; here
// every process is the Wine user's, and Wine builds that block from its
// registry alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "InstallFakes.h"
#include "install/ChildEnvironment.h"
#include "install/ClientSetup.h"
#include "install/DeploymentScript.h"
#include "install/OldClientUninstall.h"
#include "support/StateFixtures.h"

namespace {

// A runner with the environment the product gives, its TEMP in `temp`.
ProcessRunner RunnerWithTemp(const std::wstring& temp) {
    ProcessRunner runner;
    runner.UseEnvironment(MakeChildEnvironment(temp));
    return runner;
}

}  // namespace

// The setup in a folder with a blank gets its "/v" argument whole, and the
// runner returns only once the program has ended.
TEST(ProcessRunner, RunsTheSetupWithItsArgumentAndWaitsForIt) {
    TempFolder folder;
    const std::wstring setup = folder / L"Velmo Setup\\Velmo.exe";
    MakeFolder(folder / L"Velmo Setup");
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), setup.c_str(), FALSE));
    ProcessRunner runner = RunnerWithTemp(folder.path());
    for (const int state : {1, 0}) {
        DeleteFileW((setup + L".txt").c_str());
        EXPECT_TRUE(RunAndWait(runner, setup, SetupArguments(state)));
        EXPECT_EQ(ProbeCommandLine(setup), L"\"" + setup + L"\" " + SetupArguments(state));
    }
}

// A program gets the environment made for it: TEMP and TMP in the folder
// it was given, sorted as Windows keeps a block, and nothing of ours, where
// TEMP, TMP and a variable of our own name a folder that every user may
// write (as C:\Windows\Temp is SYSTEM's TEMP).
TEST(ProcessRunner, AProgramGetsAnEnvironmentOfItsOwnNotOurs) {
    TempFolder folder, everyone;
    const ScopedEnvironmentVariable temp(L"TEMP", everyone.path()), tmp(L"TMP", everyone.path()),
        ours(L"VUT_INHERITED", everyone.path());
    const std::wstring probe = folder / L"setup.exe";
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), probe.c_str(), FALSE));
    const std::wstring programTemp = folder / L"temp";
    EXPECT_TRUE(RunnerWithTemp(programTemp).RunCommandLineAndWait(L"\"" + probe + L"\""));

    const std::vector<std::wstring> got = ProbeEnvironment(probe);
    EXPECT_EQ(VariableOf(got, L"TEMP"), programTemp);
    EXPECT_EQ(VariableOf(got, L"TMP"), programTemp);
    EXPECT_EQ(VariableOf(got, L"VUT_INHERITED"), ABSENT);
    for (const std::wstring& entry : got)
        EXPECT_EQ(entry.find(everyone.path()), std::wstring::npos) << testing::PrintToString(entry);
    EXPECT_NE(VariableOf(got, L"SystemRoot"), ABSENT) << "not the environment Windows builds";

    const std::vector<wchar_t> block = MakeChildEnvironment(programTemp);
    std::vector<std::wstring> names;
    for (const wchar_t* entry = block.data(); *entry; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        names.push_back(text.substr(0, text.find(L'=', 1)));
    }
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    }));
    EXPECT_EQ(std::count(names.begin(), names.end(), L"TEMP"), 1);
}

// Without an environment of its own the runner starts nothing: the program
// would get ours.
TEST(ProcessRunner, StartsNothingBeforeItHasAnEnvironment) {
    TempFolder folder;
    const std::wstring probe = folder / L"setup.exe";
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), probe.c_str(), FALSE));
    ProcessRunner runner;
    EXPECT_FALSE(runner.RunCommandLineAndWait(L"\"" + probe + L"\""));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_ENVIRONMENT));
    Sleep(1000);
    EXPECT_FALSE(testing_support::exists(probe + L".txt")) << "the program ran";
}

// A program named msiexec.exe beside ours runs instead of the system's when
// started by bare name; the uninstall starts the system's by full path, and
// the prefix's MsiExec answers the unknown product at once.
TEST(ProcessRunner, MsiExecOfTheSystemFolderNotOneBesideUs) {
    TempFolder folder;
    const std::wstring planted = TestProgramFolder() + L"\\msiexec.exe";
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), planted.c_str(), FALSE));
    const std::wstring out = planted + L".txt";
    DeleteFileW(out.c_str());
    ProcessRunner runner = RunnerWithTemp(folder.path());
    TestRegistryKey keys;
    const std::wstring order = L" ;/x {00000000-0000-0000-0000-000000000001} /qn";
    EXPECT_TRUE(RunMsiUninstalls(runner, order, keys.Place()).empty());
    EXPECT_FALSE(testing_support::exists(out));
    EXPECT_TRUE(runner.RunCommandLineAndWait(L"msiexec.exe /x {00000000-0000-0000-0000-000000000001} /qn"));
    EXPECT_TRUE(testing_support::exists(out)) << "the planted program would have run by bare name";
    for (const std::wstring& file : {planted, out, planted + L".env.txt"}) DeleteFileW(file.c_str());
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
    ProcessRunner runner = RunnerWithTemp(folder.path());
    std::vector<std::wstring> refused;
    EXPECT_TRUE(RunVbsFile(runner, script.path(), folder.path(), refused));
    EXPECT_TRUE(testing_support::exists(mark));
}
