// The root-certificate package through the real main program: the local
// server serves a refused package in place of the scenario's good one, and
// the update check ends on the package's error without unpacking anything
// where it must not.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "EndToEndState.h"
#include "MainProgramRun.h"
#include "messages/UserMessages.h"
#include "paths/PathConstants.h"
#include "profile/IniProfile.h"
#include "support/StateFixtures.h"
#include "support/WindowDriver.h"

using namespace testing_support;

namespace {

std::wstring PackageFixture(const wchar_t* name) {
    return BuildTreePath(CERT_PACKAGE_FIXTURES) + L"\\" + name;
}

// The site serves another cabinet as cacerts.cab for the time of a test.
class ServedPackage {
public:
    ServedPackage(const Scenario& scenario, const wchar_t* fixture)
        : m_path(scenario.Setting(L"site") + L"\\cacerts.cab"), m_original(read_bytes(m_path)) {
        write_bytes(m_path, read_bytes(PackageFixture(fixture)));
    }
    ~ServedPackage() { write_bytes(m_path, m_original); }

private:
    std::wstring m_path;
    std::string m_original;
};

TEST(EndToEndRootCert, ARefusedPackageEndsTheCheckOnItsError) {
    const std::wstring programData = GetProgramDataFolder();
    const std::wstring dataFolder = programData + DATA_SUBDIR.c_str();
    struct Row {
        const wchar_t* fixture;
        ErrorNumber expected;
    };
    for (const Row& row : {Row{L"unsigned.cab", K603}, Row{L"wrong_signer.cab", K603}, Row{L"spoiled.cab", K604},
                           Row{L"name_2.cab", K604}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.fixture)));
        Scenario scenario("root-update");
        ServedPackage served(scenario, row.fixture);
        const ProgramRun run = StartMainProgram(L"");
        ASSERT_TRUE(run.process) << GetLastError();
        const HWND dialog = WaitForProgramDialog(run, Dialog::Closing);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(DialogMessage(dialog, Dialog::Closing), ErrorText(row.expected).str());
        Click(dialog, IDCANCEL);
        EXPECT_EQ(ExitCode(run), 0u);
        EXPECT_FALSE(exists(dataFolder + L"\\evil.cer"));
        EXPECT_FALSE(exists(programData + L"\\ZRV\\evil.cer"));
    }
}

}  // namespace
