#include <gtest/gtest.h>

#include "commandline/RunMode.h"
#include "paths/PathConstants.h"

TEST(CommandLine, OptionsToRunMode) {
    const struct {
        std::vector<std::wstring> arguments;
        int mode;
        bool calledService;
    } table[] = {
        {{L"main.exe"}, RUN_UPDATE_CHECK, false},
        {{}, RUN_UPDATE_CHECK, false},
        {{L"main.exe", L"/download_pelmarch"}, RUN_DOWNLOAD_PELMARCH, false},
        {{L"main.exe", L"/download_ob_white_list"}, RUN_OB_WHITE_LIST, false},
        {{L"main.exe", L"/download_update_list_for_inin_info"}, RUN_UPDATE_LIST_INFO, false},
        // A later mode overrides an earlier one.
        {{L"main.exe", L"/download_pelmarch", L"/download_ob_white_list"}, RUN_OB_WHITE_LIST, false},
        {{L"main.exe", L"/download_ob_white_list", L"/download_pelmarch"}, RUN_DOWNLOAD_PELMARCH, false},
        // Matched whole and case-sensitively.
        {{L"main.exe", L"/DOWNLOAD_PELMARCH"}, RUN_UPDATE_CHECK, false},
        {{L"main.exe", L"/Download_pelmarch", L"/download_ob_white_list"}, RUN_OB_WHITE_LIST, false},
        {{L"main.exe", L"/download_pelmarch2"}, RUN_UPDATE_CHECK, false},
        {{L"main.exe", L"download_pelmarch"}, RUN_UPDATE_CHECK, false},
        // The program's own name is not an option.
        {{L"/download_pelmarch"}, RUN_UPDATE_CHECK, false},
        // "/called_service" stays once seen, and mixes with any mode.
        {{L"main.exe", L"/called_service"}, RUN_UPDATE_CHECK, true},
        {{L"main.exe", L"/called_service", L"/download_update_list_for_inin_info"}, RUN_UPDATE_LIST_INFO, true},
        {{L"main.exe", L"/download_pelmarch", L"/CALLED_SERVICE"}, RUN_DOWNLOAD_PELMARCH, false},
        {{L"main.exe", L"/debug_env", L"/outputfile", L"x"}, RUN_UPDATE_CHECK, false},
    };
    for (const auto& row : table) {
        const CommandLineOptions options = ParseArguments(row.arguments);
        std::wstring joined;
        for (const auto& a : row.arguments) joined += a + L" ";
        EXPECT_EQ(options.runMode, row.mode) << testing::PrintToString(joined);
        EXPECT_EQ(options.calledService, row.calledService) << testing::PrintToString(joined);
    }
}

TEST(PathConstants, JoinedPathsNameTheRightFolders) {
    EXPECT_STREQ(DATA_INI_SUBPATH, L"\\ZRV\\VelmoUpgradeTool\\data\\VelmoUpgradeData.ini");
    EXPECT_STREQ(TOOL_INI_SUBPATH, L"\\ZRV\\VelmoUpgradeTool\\VelmoUpgradeTool.ini");
    EXPECT_STREQ(DATA_SUBDIR, L"\\ZRV\\VelmoUpgradeTool\\data");
    EXPECT_STREQ(DATABASE_DAT_SUBPATH, L"\\ZRV\\VelmoUpgradeTool\\data\\VelmoUpgradeToolDatabase.dat");
    EXPECT_STREQ(DATABASE_TXT_SUBPATH, L"\\ZRV\\VelmoUpgradeTool\\data\\VelmoUpgradeToolDatabase.txt");
    EXPECT_STREQ(CACERTS_CAB_SUBPATH, L"\\ZRV\\VelmoUpgradeTool\\data\\cacerts.cab");
    EXPECT_STREQ(CACERTS_SUBDIR, L"\\ZRV\\VelmoUpgradeTool\\data\\cacerts");
    // Backups live under the tool folder, not the data folder.
    EXPECT_STREQ(CACERTS_BACKUP_SUBDIR, L"\\ZRV\\VelmoUpgradeTool\\backup\\cacerts");
    EXPECT_STREQ(UPDATE_LIST_PATH, L"%ProgramData%\\ZRV\\VelmoUpgradeTool\\data\\UpdateList.ini");
    EXPECT_STREQ(SETUP_EXE_PATH, L"%ProgramData%\\ZRV\\VelmoUpgradeTool\\data\\download\\setup.exe");
    EXPECT_STREQ(AUX_APP_MSI_PATH, L"%ProgramData%\\ZRV\\VelmoUpgradeTool\\data\\download\\Pelmarch.msi");
    EXPECT_STREQ(WHITE_LIST_PATH, L"%ProgramData%\\ZRV\\VelmoUpgradeTool\\data\\ObWhiteList.txt");
    // The installed list is a different file from the downloaded one.
    EXPECT_EQ(std::wstring(WHITE_LIST_BASE_PATH) + TXT_EXT,
              L"%ProgramData%\\ZRV\\VelmoUpgradeTool\\data\\whitelist\\ObWhiteList.txt");
    EXPECT_STREQ(NO_USE_FLAG_PATH, L"%ProgramData%\\ZRV\\Velmo\\bidNoUse.flag");
}
