// The files written into the tool folder: the ".properties" copy, byte for
// byte whatever its encoding, and the option file. A file or link that a
// user put at either name is set aside, never written through; one put at
// the option file's name after it was judged receives nothing either.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include "InstallFakes.h"
#include "install/InstallContext.h"
#include "support/HostLink.h"
#include "support/StateFixtures.h"
#include "win/handle.h"

namespace {

struct Copied {
    const char* name;
    std::string bytes;
};

const Copied kCopies[] = {
    {"empty", ""},
    {"CR LF", "a=1\r\nb=2\r\n"},
    {"LF alone", "a=1\nb=2\n"},
    {"CR alone", "a=1\rb=2"},
    {"no final line end", "a=1"},
    {"byte-order mark", "\xEF\xBB\xBFk=v\r\n"},
    {"Japanese UTF-8", "\xE6\x97\xA5\xE6\x9C\xAC=\xE8\xAA\x9E\r\n"},
    {"outside the BMP", "x=\xF0\x9F\x98\x80"},
    {"a NUL byte", std::string("a\0b", 3)},
    {"a line longer than 4095", std::string(5000, 'x') + "\r\n"},
    {"Latin-1", "caf\xE9=1\r\n"},
    {"Shift_JIS", "\x93\xFA\x96\x7B=1\r\n"},
    {"UTF-16 with its mark", std::string("\xFF\xFEk\0=\0v\0", 8)},
    {"cut sequence", "a\xE6\x97"},
    {"overlong slash", "\xC0\xAF"},
    {"encoded surrogate", "\xED\xA0\x80"},
};

bool RunningOnWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// Windows only: Wine keeps no access lists, it makes one up from the file's
// mode bits.
testing::AssertionResult UsersMayOnlyRead(const std::wstring& file) {
    if (RunningOnWine()) return testing::AssertionSuccess();
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &descriptor) != ERROR_SUCCESS || !dacl)
        return testing::AssertionFailure() << "no access list";
    const win::LocalMemory held(descriptor);
    ACCESS_ALLOWED_ACE* ace = nullptr;
    for (DWORD i = 0; GetAce(dacl, i, reinterpret_cast<void**>(&ace)); ++i) {
        const PSID sid = &ace->SidStart;
        if (IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) continue;
        if (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && (ace->Mask & ~FILE_GENERIC_READ) != 0)
            return testing::AssertionFailure() << "entry " << i << " lets someone else change the file";
    }
    return testing::AssertionSuccess();
}

// A read-only file stays behind when its folder is removed.
void ClearAttributes(const std::wstring& folder) {
    WIN32_FIND_DATAW found = {};
    const win::FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search) return;
    do SetFileAttributesW((folder + L"\\" + found.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
    while (FindNextFileW(search.get(), &found));
}

}  // namespace

// Over a read-only, hidden copy of an earlier run too.
TEST(SavePropertiesFile, CopiesTheBytesUnchangedWhateverTheirEncoding) {
    for (const Copied& c : kCopies) {
        TempFolder client, base;
        const std::wstring tool = base / L"ZRV\\VelmoUpgradeTool";
        WriteFileBytes(tool + L"\\.properties", "old");
        SetFileAttributesW((tool + L"\\.properties").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        WriteFileBytes(client / L".kvxwrap\\.properties", c.bytes);
        CInstallContext context({L"6.1.9", client.path(), L"", L""}, [&] { return base.path(); });
        EXPECT_TRUE(context.SavePropertiesFile()) << c.name;
        EXPECT_EQ(testing_support::read_bytes(tool + L"\\.properties"), c.bytes) << c.name;
        EXPECT_TRUE(UsersMayOnlyRead(tool + L"\\.properties")) << c.name;
        ClearAttributes(tool);
    }
}

TEST(SavePropertiesFile, AFileOverSixteenMebibytesIsNotCarriedOver) {
    TempFolder client, base;
    MakeFolder(base / L"ZRV\\VelmoUpgradeTool");
    WriteFileBytes(client / L".kvxwrap\\.properties", std::string(16u * 1024u * 1024u + 1u, 'a'));
    CInstallContext context({L"6.1.9", client.path(), L"", L""}, [&] { return base.path(); });
    EXPECT_FALSE(context.SavePropertiesFile());
    EXPECT_FALSE(testing_support::exists(base / L"ZRV\\VelmoUpgradeTool\\.properties"));
}

// The test set-up planted a link at each name, leading to a victim file.
// Windows sees the link itself; under Wine a link to a file reads as a
// plain file owned by the Wine user, set aside for its owner.
TEST(ToolFolderFiles, ALinkAtEitherNameIsSetAsideNeverWrittenThrough) {
    const std::wstring links = PlantedLinks();
    const std::wstring tool = links + L"\\tool\\ZRV\\VelmoUpgradeTool";
    TempFolder client;
    WriteFileBytes(client / L"ZRVCAVelmo.ini", "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.1.9\r\n");
    WriteFileBytes(client / L".kvxwrap\\.properties", "a=1\r\n");
    CInstallContext context({L"6.1.9", client.path(), L"", L""}, [&] { return links + L"\\tool"; });
    EXPECT_TRUE(context.CopyClientIni(client / L"ZRVCAVelmo.ini"));
    EXPECT_TRUE(context.SavePropertiesFile());
    EXPECT_TRUE(context.WriteOptionToolFlags(true, false));
    EXPECT_TRUE(context.SetInstallState(1));

    EXPECT_EQ(testing_support::read_bytes(links + L"\\victim-ZRVCAVelmo.ini"), "victim\r\n");
    EXPECT_EQ(testing_support::read_bytes(links + L"\\victim-.properties"), "victim\r\n");
    const std::wstring optionFile = tool + L"\\ZRVCAVelmo.ini";
    EXPECT_EQ(RawProfileValue(optionFile, L"ZRVCAVelmo", L"ZRVVelmoVersion"), L"6.1.9");
    EXPECT_EQ(RawProfileValue(optionFile, L"OPTION", L"ETaxTOOL"), L"1");
    EXPECT_EQ(RawProfileValue(optionFile, L"OPTION", L"Velmo_instState"), L"1");
    EXPECT_EQ(testing_support::read_bytes(tool + L"\\.properties"), "a=1\r\n");
    EXPECT_TRUE(UsersMayOnlyRead(optionFile));
}

// The option file swapped for a link to a victim file once it was judged,
// from the host's side, which ignores the hold (on Windows the hold stops
// it). Wine opens a file's write handle through the name the held file had:
// the write, which cannot reach the file judged, is refused, and nothing
// goes through the link. On Windows the write handle is the held file's own.
TEST(ToolFolderFiles, AnOptionFileSwappedForALinkAfterItWasJudgedIsNotWrittenThrough) {
    TempFolder base, client, victim;
    const std::wstring tool = base / L"ZRV\\VelmoUpgradeTool";
    MakeFolder(tool);
    WriteFileBytes(client / L"ZRVCAVelmo.ini", "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.1.9\r\n");
    WriteFileBytes(victim / L"victim.ini", "victim\r\n");
    CInstallContext context({L"6.1.9", client.path(), L"", L""}, [&] { return base.path(); });
    ASSERT_TRUE(context.CopyClientIni(client / L"ZRVCAVelmo.ini"));
    const std::wstring optionFile = tool + L"\\ZRVCAVelmo.ini", judged = tool + L"\\judged.ini";
    ASSERT_TRUE(MoveOnHost(optionFile, judged));
    ASSERT_TRUE(MakeHostFileLink(optionFile, victim / L"victim.ini", false));

    EXPECT_FALSE(context.WriteOptionToolFlags(true, false));
    EXPECT_FALSE(context.SetInstallState(1));
    EXPECT_EQ(context.GetInstallState(), 0);
    EXPECT_EQ(testing_support::read_bytes(victim / L"victim.ini"), "victim\r\n");
    EXPECT_EQ(testing_support::read_bytes(judged), "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.1.9\r\n");
    EXPECT_TRUE(RemoveHostLink(optionFile));
}

// The client's setup reads the option file while the run holds it, perhaps
// sharing nothing but reading; the keys still go in once it has finished.
TEST(ToolFolderFiles, TheHeldOptionFileStaysReadableToAReaderSharingOnlyReading) {
    TempFolder base, client;
    MakeFolder(base / L"ZRV\\VelmoUpgradeTool");
    WriteFileBytes(client / L"ZRVCAVelmo.ini", "[ZRVCAVelmo]\r\n");
    CInstallContext context({L"6.1.9", client.path(), L"", L""}, [&] { return base.path(); });
    ASSERT_TRUE(context.CopyClientIni(client / L"ZRVCAVelmo.ini"));
    {
        const win::FileHandle reader(CreateFileW((base / L"ZRV\\VelmoUpgradeTool\\ZRVCAVelmo.ini").c_str(),
                                                 GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(reader) << "error " << GetLastError();
    }
    EXPECT_TRUE(context.SetInstallState(1));
    EXPECT_EQ(context.GetInstallState(), 1);
}
