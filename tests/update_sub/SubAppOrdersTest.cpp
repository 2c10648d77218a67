// The application object's orders: every order of the exchange file and the
// settings file's script read while the object is built, the orders blanked
// at once and again when it goes; and its command line.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "process/ProcessFlags.h"
#include "startup/VelmoUpgradeToolSubApp.h"
#include "support/HostLink.h"
#include "support/StateFixtures.h"
#include "support/linux_link.h"
#include "support/log_seam.h"

namespace {

// The longest uninst_all read whole. The profile reader drops the blank that
// the main program writes in front of the first entry.
std::wstring LongestEntries() {
    const std::wstring entry = L";/x {11111111-2A6F-4D08-9B5E-C41F0A7D3E62}";
    return entry + std::wstring(2599 - entry.size(), L'q');
}
const std::wstring kLongEntries = LongestEntries();

struct OrderCase {
    const wchar_t* section;
    const wchar_t* key;
    std::wstring written;
    std::function<std::wstring(const CVelmoUpgradeToolSubApp&)> read;
    std::wstring expected;  // what the application holds
    bool blanked;           // what the file holds afterwards: "" or the value written
};

std::wstring Number(std::uint32_t value) { return std::to_wstring(value); }

const OrderCase kOrderCases[] = {
    {L"Velmo", L"major", L"6", [](const auto& app) { return Number(app.m_env.installed.major); }, L"6", false},
    {L"Velmo", L"minor", L"1", [](const auto& app) { return Number(app.m_env.installed.minor); }, L"1", false},
    {L"Velmo", L"sub_minor", L"9", [](const auto& app) { return Number(app.m_env.installed.sub_minor); }, L"9", false},
    {L"Velmo", L"ver", L"6.1.9", [](const auto& app) { return app.m_env.installed.ver; }, L"6.1.9", false},
    {L"Command", L"uninst", L"/x {11111111-2A6F-4D08-9B5E-C41F0A7D3E62} /passive",
     [](const auto& app) { return app.m_uninst; }, L"/x {11111111-2A6F-4D08-9B5E-C41F0A7D3E62} /passive", true},
    {L"Command", L"dURL", L"\"https://dl.example.jp/velmo/Velmo.exe\"", [](const auto& app) { return app.m_dURL; },
     L"https://dl.example.jp/velmo/Velmo.exe", true},
    {L"Command", L"uninst_all", kLongEntries, [](const auto& app) { return app.m_uninstAll; }, kLongEntries, true},
    {L"Command", L"cacerts", L"1", [](const auto& app) { return std::to_wstring(app.m_cacerts); }, L"1", true},
    {L"Message", L"common", L"お知らせ(NL)二行目(NL)", [](const auto& app) { return app.m_common; },
     L"お知らせ\n二行目\n", true},
    {L"Pelmarch", L"is_new", L"1", [](const auto&) { return std::wstring(L"1"); }, L"1", false},
};

class SubAppOrdersTest : public testing::Test {
protected:
    SubAppOrdersTest() { MakeFolder(m_base / L"ZRV\\VelmoUpgradeTool\\data"); }

    std::wstring Exchange() const { return m_base / L"ZRV\\VelmoUpgradeTool\\data\\VelmoUpgradeData.ini"; }
    std::wstring Settings() const { return m_base / L"ZRV\\VelmoUpgradeTool\\VelmoUpgradeTool.ini"; }
    void Write(const wchar_t* section, const wchar_t* key, const std::wstring& value) const {
        ASSERT_TRUE(WritePrivateProfileStringW(section, key, value.c_str(), Exchange().c_str()));
    }
    void WriteEveryOrder() const {
        for (const OrderCase& c : kOrderCases) Write(c.section, c.key, c.written);
    }
    // The values the file holds now against those written.
    void ExpectBlanked() const {
        for (const OrderCase& c : kOrderCases) {
            const std::wstring kept = RawProfileValue(Exchange(), c.section, c.key);
            EXPECT_EQ(kept, c.blanked ? L"" : c.written) << testing::PrintToString(std::wstring(c.key));
        }
    }
    CVelmoUpgradeToolSubApp MakeApp(const std::wstring& commandLine = L"Velmoご利用ソフト更新ツール.exe") const {
        return CVelmoUpgradeToolSubApp([this] { return m_base.path(); }, commandLine);
    }

    TempFolder m_base;
};

// Orders that a link may lead to, and whose order the application reads.
const std::string kVictimOrders = "[Command]\r\ndURL=\"https://dl.example.jp/v.exe\"\r\ncacerts=1\r\n";
constexpr wchar_t kVictimUrl[] = L"https://dl.example.jp/v.exe";

bool Logged(const std::vector<std::wstring>& messages, const std::wstring& reason) {
    return std::any_of(messages.begin(), messages.end(),
                       [&](const std::wstring& message) { return message.compare(0, reason.size(), reason) == 0; });
}

}  // namespace

TEST_F(SubAppOrdersTest, EveryOrderIsReadAndBlankedWhileTheObjectIsBuilt) {
    WriteEveryOrder();
    ASSERT_TRUE(WritePrivateProfileStringW(L"APP", L"vbs_file", L"C:\\Deploy\\velmo.vbs", Settings().c_str()));
    IsMainProgram = 1;
    const CVelmoUpgradeToolSubApp app = MakeApp();
    for (const OrderCase& c : kOrderCases)
        EXPECT_EQ(c.read(app), c.expected) << testing::PrintToString(std::wstring(c.key));
    EXPECT_EQ(app.m_vbsFile, L"C:\\Deploy\\velmo.vbs");
    EXPECT_EQ(IsMainProgram, 0);
    ExpectBlanked();
    EXPECT_EQ(RawProfileValue(Settings(), L"APP", L"vbs_file"), L"C:\\Deploy\\velmo.vbs");
}

TEST_F(SubAppOrdersTest, OrdersWrittenDuringTheRunAreBlankedAtItsEnd) {
    {
        const CVelmoUpgradeToolSubApp app = MakeApp();
        WriteEveryOrder();
    }
    ExpectBlanked();
}

TEST_F(SubAppOrdersTest, OnlyTheExactOneOrdersTheCertificates) {
    const struct {
        const wchar_t* written;
        bool ordered;
    } cases[] = {{L"1", true}, {L"0", false}, {L"", false}, {L"01", false}, {L"true", false}, {L"１", false}};
    for (const auto& c : cases) {
        Write(L"Command", L"cacerts", c.written);
        EXPECT_EQ(MakeApp().m_cacerts, c.ordered) << testing::PrintToString(std::wstring(c.written));
    }
}

TEST_F(SubAppOrdersTest, OnlyTheWholeOptionAfterTheProgramSelectsTheAuxiliaryRun) {
    const struct {
        const wchar_t* commandLine;
        int downloadPelmarch;
    } cases[] = {
        {L"sub.exe", 0},
        {L"sub.exe /download_pelmarch", 1},
        {L"\"C:\\Program Files\\sub.exe\" /called_service /download_pelmarch", 1},
        {L"sub.exe \"/download_pelmarch\"", 1},
        {L"sub.exe /Download_pelmarch", 0},
        {L"sub.exe /download_Pelmarch", 0},
        {L"sub.exe /download_pelmarchx", 0},
        {L"sub.exe download_pelmarch", 0},
        {L"/download_pelmarch", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeApp(c.commandLine).m_downloadPelmarch, c.downloadPelmarch)
            << testing::PrintToString(std::wstring(c.commandLine));
}

// A user who may write the data folder can give the exchange file a second
// name in a file they may not write: a hard link (which Windows lets users
// make to files they cannot write on versions before 2019), or a symbolic
// link. Its orders are read as any orders are, but the blanks go nowhere,
// and the log says why.
TEST_F(SubAppOrdersTest, NothingIsWrittenThroughALinkAtTheExchangeFilesName) {
    for (const bool hard : {true, false}) {
        SCOPED_TRACE(hard ? "hard link" : "symbolic link");
        TempFolder victim;
        const std::wstring file = victim / L"victim.ini";
        WriteFileBytes(file, kVictimOrders);
        ASSERT_TRUE(MakeHostFileLink(Exchange(), file, hard));
        const qen_lib::log::testing::LogSwitchedOn log(victim / L"log.txt");
        {
            const CVelmoUpgradeToolSubApp app = MakeApp();
            EXPECT_EQ(app.m_dURL, kVictimUrl);
            EXPECT_TRUE(app.m_cacerts);
        }
        EXPECT_EQ(testing_support::read_bytes(file), kVictimOrders);
        EXPECT_TRUE(Logged(log.messages(), L"Exchange file not a plain file with one name"));
        EXPECT_TRUE(RemoveHostLink(Exchange()));
    }
}

// With the data folder a link, nothing is created or changed in the folder
// it leads to, whether that holds an exchange file or not.
TEST_F(SubAppOrdersTest, NothingIsWrittenBelowADataFolderThatIsALink) {
    const std::wstring data = m_base / L"ZRV\\VelmoUpgradeTool\\data";
    ASSERT_TRUE(RemoveDirectoryW(data.c_str()));
    for (const bool withExchangeFile : {true, false}) {
        SCOPED_TRACE(withExchangeFile ? "an exchange file there" : "an empty folder");
        TempFolder victim;
        if (withExchangeFile) WriteFileBytes(victim / L"VelmoUpgradeData.ini", kVictimOrders);
        const auto before = FolderFiles(victim.path());
        const testing_support::LinuxLink link(data, victim.path());
        ASSERT_TRUE(link.Made());
        EXPECT_EQ(MakeApp().m_dURL, withExchangeFile ? kVictimUrl : L"");
        EXPECT_EQ(FolderFiles(victim.path()), before);
    }
}
