// PendingFileRenameOperations of the prefix's real Session Manager key, saved
// and put back byte for byte with its type. The test holds the
// pending_file_renames lock and puts back what it found. Wine carries the
// renames out at its next start, so every value here names files that do
// not exist. Wine cannot show Windows carrying them out at the restart.
#include <gtest/gtest.h>

#include <windows.h>

#include "InstallFakes.h"
#include "install/PendingRenames.h"

namespace {

// A rename and a deletion (an empty target), as an installer schedules them.
const std::wstring kRenames =
    MultiString({L"\\??\\C:\\vut-none\\a.tmp", L"\\??\\C:\\vut-none\\a.dll", L"\\??\\C:\\vut-none\\old.dll", L""});

// Puts the key's value back as the test found it.
class PendingRenamesTest : public testing::Test {
protected:
    void SetUp() override { m_found = PendingRenamesValue::Read(); }
    void TearDown() override { PendingRenamesValue::Write(m_found); }
    PendingRenamesValue m_found;
};

}  // namespace

TEST_F(PendingRenamesTest, PutBackByteForByteWithItsType) {
    struct Case {
        const char* name;
        PendingRenamesValue before;
    };
    const Case cases[] = {
        {"multi-string", PendingRenamesValue::Of(kRenames)},
        {"multi-string without its last terminator", PendingRenamesValue::Of(kRenames.substr(0, kRenames.size() - 1))},
        {"odd byte count", [] {
             PendingRenamesValue value = PendingRenamesValue::Of(L"\\??\\C:\\vut-none\\x");
             value.data.push_back(0x41);
             return value;
         }()},
        {"plain string", PendingRenamesValue::Of(std::wstring(L"\\??\\C:\\vut-none\\b.tmp") + L'\0', REG_SZ)},
        {"binary", PendingRenamesValue::Of(kRenames, REG_BINARY)},
        {"present and empty", PendingRenamesValue{true, REG_MULTI_SZ, {}}},
        {"absent", PendingRenamesValue{}},
    };
    const PendingRenamesValue uninstallers = PendingRenamesValue::Of(MultiString({L"\\??\\C:\\vut-none\\client.exe", L""}));
    for (const Case& c : cases) {
        PendingRenamesValue::Write(c.before);
        ASSERT_EQ(PendingRenamesValue::Read(), c.before) << c.name << ": the prefix does not keep the value as written";
        PendingRenameBackup backup;
        EXPECT_TRUE(SavePendingRenames(backup)) << c.name;
        PendingRenamesValue::Write(uninstallers);
        EXPECT_TRUE(RestorePendingRenames(backup)) << c.name;
        EXPECT_EQ(PendingRenamesValue::Read(), c.before) << c.name;
    }
}

