// The road of a downloaded rule database: envelopes made by the independent
// producer are deciphered, the text loaded and evaluated, and the deciphered
// text deleted whether the load succeeded or not. The deletion also shows
// that the load has let go of the file on every path.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "support/test_files.h"
#include "qen_lib/envelope/envelope.h"
#include "rules/UpdateDatabase.h"

namespace {

using namespace test_files;

class RuleDatabaseEnvelope : public ::testing::Test {
protected:
    // The envelope placed where the download leaves it.
    void Download(const char* name) { write_bytes(dat, read_bytes(windows_path(std::string(RULE_FIXTURES "/") + name))); }

    // Deciphers and loads, then deletes the deciphered text.
    bool DecipherAndLoad() {
        EXPECT_TRUE(DecryptDataFile(dat.c_str(), txt.c_str())) << "error " << GetLastError();
        const bool loaded = db.Load(txt.c_str());
        EXPECT_TRUE(DeleteFileW(txt.c_str())) << "the text is still held open: error " << GetLastError();
        EXPECT_FALSE(exists(txt));
        return loaded;
    }

    ScratchFolder scratch;
    const std::wstring dat = scratch / L"VelmoUpgradeToolDatabase.dat";
    const std::wstring txt = scratch / L"VelmoUpgradeToolDatabase.txt";
    UpdateDatabase db;
};

TEST_F(RuleDatabaseEnvelope, DecipheredLoadedAndEvaluated) {
    Download("rules.dat");
    ASSERT_TRUE(DecipherAndLoad());

    EXPECT_EQ(db.db.raw_title, L"「Velmoご利用ソフト」更新のお知らせ(NL)詳しくはサポートページをご覧ください");
    EXPECT_EQ(db.interval_days, 7);
    EXPECT_EQ(db.spread_days, 1);
    EXPECT_EQ(db.db.trailer.probability, 20);
    EXPECT_EQ(db.db.trailer.hour, 6);
    ASSERT_EQ(db.db.commands.size(), 2u);
    EXPECT_EQ(db.db.commands[1].sub_minor, 5u);
    EXPECT_EQ(db.JoinCommands(),
              L" ;/x {6B0F4A5E-3C1D-4B8E-9A2F-600000000000} /qn ;/x {6B0F4A5E-3C1D-4B8E-9A2F-610500000000} /qn");

    // Client 6.1.5 on Windows 6.1 under WOW64: rule 1 fires and jumps to
    // rule 3, which adds its message after rule 1's.
    EnvironmentInfo env;
    env.installed.major = 6, env.installed.minor = 1, env.installed.sub_minor = 5;
    env.os.major = 6, env.os.minor = 1, env.os.wow64 = 1;
    CString first, second;
    ASSERT_TRUE(db.Evaluate(env, first, second));
    EXPECT_EQ(first.str(),
              L"新しい「Velmoご利用ソフト」があります。\n更新してください。\nポリシーを確認してください。\n");
    EXPECT_EQ(second.str(), L"");
    EXPECT_EQ(env.dURL, L"https://update.zrv.co.jp/velmo/6.2.0/VelmoSetup.exe");
}

TEST_F(RuleDatabaseEnvelope, ABrokenDatabaseInAGoodEnvelopeIsRefused) {
    Download("broken_rules.dat");
    EXPECT_FALSE(DecipherAndLoad());
}

TEST_F(RuleDatabaseEnvelope, AChangedEnvelopeLeavesNoText) {
    Download("tampered_rules.dat");
    EXPECT_FALSE(DecryptDataFile(dat.c_str(), txt.c_str()));
    EXPECT_FALSE(exists(txt));
    EXPECT_FALSE(exists(dat + L".tmp"));
}

}  // namespace
