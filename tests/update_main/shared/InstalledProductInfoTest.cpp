#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>

#include "client/InstalledProductInfo.h"
#include "environment/EnvironmentInfo.h"
#include "support/StateFixtures.h"

namespace {

enum class Fixture { NoFile, Folder, File };

struct ProductCase {
    const char* name;
    Fixture fixture;
    std::string fileText;
    int status;
    InstalledProductInfo loaded;
};

const ProductCase kProductCases[] = {
    {"no file", Fixture::NoFile, "", kProductIniMissing, {}},
    {"a folder of that name", Fixture::Folder, "", kProductIniMissing, {}},
    {"everything", Fixture::File,
     "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\nDirectory=C:\\Velmo\\\r\nJREVersion=1.8.0_202\r\n"
     "JREDirectory=C:\\Velmo\\jre\r\n",
     kProductInfoRead,
     {L"6.2.1", L"C:\\Velmo\\", L"1.8.0_202", L"C:\\Velmo\\jre"}},
    {"no Java runtime", Fixture::File, "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\nDirectory=C:\\Velmo\r\n",
     kProductInfoRead, {L"6.2.1", L"C:\\Velmo", L"", L""}},
    {"empty folder", Fixture::File, "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\nDirectory=\r\nJREVersion=1.8\r\n",
     kProductInfoUnusable, {}},
    {"no folder", Fixture::File, "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\n", kProductInfoUnusable, {}},
    {"no version", Fixture::File, "[ZRVCAVelmo]\r\nDirectory=C:\\Velmo\r\n", kProductInfoUnusable, {}},
    {"another section", Fixture::File, "[Velmo]\r\nZRVVelmoVersion=6.2.1\r\nDirectory=C:\\Velmo\r\n",
     kProductInfoUnusable, {}},
    // 1040 characters do not fit the 1040-character buffer with its NUL.
    {"folder too long for the buffer", Fixture::File,
     "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\nDirectory=C:" + std::string(1038, 'd') + "\r\n",
     kProductInfoUnusable, {}},
    {"Java folder too long for the buffer", Fixture::File,
     "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\nDirectory=C:\\V\r\nJREDirectory=C:" + std::string(1038, 'j') + "\r\n",
     kProductInfoUnusable, {}},
};

std::string Describe(const InstalledProductInfo& info) {
    std::wstring all = info.version + L"|" + info.directory + L"|" + info.jre_version + L"|" + info.jre_directory;
    return testing::PrintToString(all);
}

}  // namespace

TEST(LoadInstalledProductInfo, StatusAndRecordByFile) {
    for (const ProductCase& c : kProductCases) {
        SCOPED_TRACE(c.name);
        TempFolder windows;
        const std::wstring path = windows / L"ZRVCAVelmo.ini";
        if (c.fixture == Fixture::Folder) MakeFolder(path);
        if (c.fixture == Fixture::File) WriteFileBytes(path, c.fileText);

        int status = -1;
        EXPECT_EQ(Describe(LoadInstalledProductInfo(path, status)), Describe(c.loaded));
        EXPECT_EQ(status, c.status);

        bool ok = !(c.status == kProductInfoRead);
        const InstalledProductInfo read = ReadInstalledProductInfo(path, ok);
        EXPECT_EQ(ok, c.status == kProductInfoRead);
        if (!ok) {
            EXPECT_EQ(Describe(read), Describe(InstalledProductInfo()));
        }
    }
}

// Each value is read whole or the file is not used, with or without quotes
// around it: up to 1039 characters fit the 1040-character buffer.
TEST(LoadInstalledProductInfo, ValuesAreReadWholeOrNotAtAll) {
    const struct {
        std::string key;
        std::wstring InstalledProductInfo::*field;
    } fields[] = {
        {"Directory", &InstalledProductInfo::directory},
        {"JREDirectory", &InstalledProductInfo::jre_directory},
    };
    for (const auto& f : fields) {
        for (const ProfileLimitCase& c : ProfileLimitCases(1039)) {
            SCOPED_TRACE(f.key + " of " + c.Describe());
            TempFolder windows;
            const std::wstring path = windows / L"ZRVCAVelmo.ini";
            // The first of two equal keys counts.
            WriteFileBytes(path, "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\n" + f.key + "=" + c.Text('d') +
                                     "\r\nDirectory=C:\\V\r\n");
            int status = -1;
            const InstalledProductInfo info = LoadInstalledProductInfo(path, status);
            const bool whole = c.length <= 1039;
            EXPECT_EQ(status, whole ? kProductInfoRead : kProductInfoUnusable);
            EXPECT_EQ(info.*f.field, whole ? std::wstring(c.length, L'd') : std::wstring());
        }
    }
}

TEST(LoadInstalledProductInfo, AnEmptyPathIsNoFile) {
    int status = -1;
    LoadInstalledProductInfo(L"", status);
    EXPECT_EQ(status, kProductIniMissing);
}

TEST(ReadInstalledProductInfo, TakesOneTrailingBackslashOffTheFolder) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"C:\\Velmo\\", L"C:\\Velmo"},
        {"C:\\Velmo\\\\", L"C:\\Velmo\\"},
        {"C:\\Velmo", L"C:\\Velmo"},
        {"\\", L""},
    };
    for (const auto& [directory, trimmed] : cases) {
        TempFolder windows;
        const std::wstring path = windows / L"ZRVCAVelmo.ini";
        WriteFileBytes(path, std::string("[ZRVCAVelmo]\r\nZRVVelmoVersion=6.2.1\r\nDirectory=") + directory + "\r\n");
        bool ok = false;
        const InstalledProductInfo read = ReadInstalledProductInfo(path, ok);
        EXPECT_TRUE(ok) << directory;
        EXPECT_EQ(read.directory, trimmed) << directory;
        EXPECT_EQ(read.version, L"6.2.1");
    }
}

TEST(GetInstalledProductIniPath, KeepsAGivenPathAndElseNamesTheWindowsFolder) {
    EXPECT_EQ(GetInstalledProductIniPath(L"D:\\x\\client.ini"), L"D:\\x\\client.ini");
    wchar_t systemRoot[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"SystemRoot", systemRoot, MAX_PATH), 0u);
    const std::wstring expected = std::wstring(systemRoot) + L"\\ZRVCAVelmo.ini";
    EXPECT_EQ(CompareStringOrdinal(GetInstalledProductIniPath(L"").c_str(), -1, expected.c_str(), -1, TRUE),
              CSTR_EQUAL);
}

// The real location in the private prefix: the record and the environment's
// version read the same file. Left alone when a client INI file is there.
TEST(InstalledClientInWindowsFolder, RecordAndVersionComeFromTheSameFile) {
    const std::wstring path = GetInstalledProductIniPath(L"");
    ASSERT_FALSE(path.empty());
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "a client INI file is installed in this prefix";
    WriteFileBytes(path, "[ZRVCAVelmo]\r\nZRVVelmoVersion=6.3.12\r\nDirectory=C:\\Program Files\\Velmo\\\r\n");
    bool ok = false;
    const InstalledProductInfo read = ReadInstalledProductInfo(path, ok);
    EnvironmentInfo env;
    env.ReadInstalledVersion();
    DeleteFileW(path.c_str());

    EXPECT_TRUE(ok);
    EXPECT_EQ(read.directory, L"C:\\Program Files\\Velmo");
    EXPECT_EQ(env.installed.ver, L"6.3.12");
    EXPECT_EQ(env.installed.sub_minor, 12u);
    EXPECT_EQ(env.directory, L"C:\\Program Files\\Velmo\\");
}
