// Changes to a store: what is refused before anything is written, what
// writes nothing, and writes that fail, after which memory and folder both
// keep the store as it was.
#include <windows.h>

#include <functional>

#include <gtest/gtest.h>

#include "store_fixtures.h"
#include "support/temp_folder.h"
#include "vornpath/pki/CheckCertStore.h"
#include "vornpath/pki/FileBaseCertificateStore.h"
#include "vornpath/pki/store_result.h"
#include "win/handle.h"

using namespace vornpath::pki;
using namespace store_test;
using qen_lib::cert::Cert;

namespace {

class StoreChangeTest : public testing::Test {
protected:
    // The number of certificates a store on the folder reads, -1 when it fails.
    static int CertCount(CertificateStore& store) {
        int result = -1;
        const std::size_t count = store.GetAllCerts(result).size();
        return result == STORE_OK ? static_cast<int>(count) : -1;
    }
    int FreshCount() const {
        FileBaseCertificateStore fresh(folder);
        return fresh.Setup(false) == STORE_OK ? CertCount(fresh) : -1;
    }

    testing_support::TempFolder temp;
    const std::wstring folder = CopyStore(Fixture(L"rows\\intact\\cs1"), temp);
    FileBaseCertificateStore store{folder};
    const std::vector<Cert> small = SmallStoreRoots();
};

TEST_F(StoreChangeTest, ChangesThatWriteNothing) {
    Cert notInStore = LoadRoot(L"003.der");
    struct Case {
        const char* what;
        std::function<int()> change;
        int code;
    };
    const Case cases[] = {
        {"a certificate never loaded", [&] { return store.AddCert(Cert(), true); }, STORE_CERT_FILE_UNLOADABLE},
        {"bytes that are no certificate", [&] { return store.AddCert(LoadFixture(L"roots.txt"), true); },
         STORE_CERT_FILE_UNLOADABLE},
        {"no key identifier",
         [&] { return store.AddCert(LoadFixture(L"empty_key_id.der"), true); }, STORE_BAD_KEY_ID},
        {"the same trust flag again", [&] { return store.AddCert(small[0], true); }, STORE_OK},
        {"removing what is not there", [&] { return store.RemoveCert(notInStore); }, STORE_OK},
    };
    ASSERT_EQ(STORE_OK, store.Setup(false));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.code, c.change());
        EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(L"rows\\intact\\cs1"), folder));
    }
}

TEST_F(StoreChangeTest, RemovingARecordWhoseFileIsGoneSucceeds) {
    ASSERT_EQ(STORE_OK, store.Setup(false));
    const std::wstring file = folder + L"\\" + store.CertHashToString(store.GetCertHash(small[1])) + L".cer";
    ASSERT_TRUE(DeleteFileW(file.c_str()));
    EXPECT_EQ(STORE_OK, store.RemoveCert(small[1]));
    EXPECT_EQ(2, CertCount(store));
    EXPECT_EQ(2, FreshCount());
}

// A failed write: the certificate not taken in memory, the folder's index
// and Mac file still a matching pair.
TEST_F(StoreChangeTest, AFailedWriteLeavesTheOldStore) {
    const std::wstring index = folder + L"\\indexV2.txt";
    win::FileHandle macHeld;
    struct Case {
        const char* what;
        std::function<void()> block;
        std::function<void()> unblock;
        int code;
    };
    const Case cases[] = {
        {"index cannot be written", [&] { CreateDirectoryW((index + L".new").c_str(), nullptr); },
         [&] { RemoveDirectoryW((index + L".new").c_str()); }, STORE_INDEX_UNWRITABLE},
        // Open elsewhere, readable but neither writable nor replaceable.
        {"Mac file cannot be replaced",
         [&] {
             macHeld.reset(CreateFileW((index + L".0").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
         },
         [&] { macHeld.reset(); }, STORE_MAC_UNWRITABLE},
    };
    ASSERT_EQ(STORE_OK, store.Setup(false));
    const Cert added = LoadRoot(L"003.der");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.block();
        EXPECT_EQ(c.code, store.AddCert(added, true));
        EXPECT_EQ(c.code, store.AddCert(small[0], false)) << "a trust change";
        c.unblock();
        EXPECT_EQ(CHECK_STORE_OK, CheckCertStore(folder.c_str()));
        EXPECT_EQ(3, CertCount(store));
        EXPECT_TRUE(store.IsTrusted(store.GetCertHash(small[0])));
        EXPECT_EQ(3, FreshCount());
    }
    EXPECT_EQ(STORE_OK, store.AddCert(added, true));
    EXPECT_EQ(4, FreshCount());
}

}  // namespace
