// The client's folder, which its INI file names, used by name only while it
// and its ".kvxwrap" are held: VelmoInit.exe is not started and
// ".properties" not copied through a link on the way to them, and neither
// folder can be renamed meanwhile. Links are made from the host's side, as
// junctions would be on Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include "InstallFakes.h"
#include "install/ClientInit.h"
#include "install/InstallContext.h"
#include "support/StateFixtures.h"
#include "support/linux_link.h"

TEST(ClientFolder, NothingIsUsedThroughALinkOnTheWayToIt) {
    const struct {
        const char* name;
        const wchar_t* link;  // below the client folder's parent; nullptr: none
    } rows[] = {
        {"real folders", nullptr},
        {".kvxwrap a link", L"\\Velmo\\.kvxwrap"},
        {"the client folder a link", L"\\Velmo"},
        {"a folder above it a link", L""},
    };
    for (const auto& row : rows) {
        const TempFolder above, victim, windows, base;
        const std::wstring client = above / L"Velmo", wrap = client + L"\\.kvxwrap";
        WriteFileBytes(client + L"\\VelmoInit.exe", "MZ");
        WriteFileBytes(wrap + L"\\.properties", "a=1\r\n");
        const std::wstring link = row.link ? above.path() + row.link : std::wstring();
        if (row.link) {
            ASSERT_TRUE(MoveFileExW(link.c_str(), (victim / L"target").c_str(), 0)) << row.name;
        }
        const testing_support::LinuxLink planted(row.link ? link : victim / L"unused", victim / L"target");
        ASSERT_EQ(planted.Made(), row.link != nullptr) << row.name;
        const bool used = !row.link;

        const std::wstring ini = windows / L"ZRVCAVelmo.ini";
        WriteFileBytes(ini, "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.0\r\nDirectory=" +
                                std::string(client.begin(), client.end()) + "\r\n");
        RecordingRunner runner;
        std::vector<DWORD> renames;
        runner.onRun = [&](const std::wstring&) {
            for (const std::wstring& folder : {client, wrap})
                renames.push_back(MoveFileExW(folder.c_str(), (folder + L".moved").c_str(), 0) ? ERROR_SUCCESS
                                                                                              : GetLastError());
        };
        EnvironmentInfo environment;
        EXPECT_EQ(LaunchClientInit(runner, environment, ini), used) << row.name;
        EXPECT_EQ(runner.started.size(), used ? 1u : 0u) << row.name;
        EXPECT_EQ(renames, used ? std::vector<DWORD>(2, ERROR_SHARING_VIOLATION) : std::vector<DWORD>()) << row.name;

        MakeFolder(base / L"ZRV\\VelmoUpgradeTool");
        CInstallContext context({L"6.2.0", client, L"", L""}, [&] { return base.path(); });
        EXPECT_EQ(context.SavePropertiesFile(), used) << row.name;
        EXPECT_EQ(testing_support::exists(base / L"ZRV\\VelmoUpgradeTool\\.properties"), used) << row.name;
    }
}
