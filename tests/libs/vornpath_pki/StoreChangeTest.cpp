// Changes to a store: what is refused before anything is written, what
// writes nothing, writes that fail, after which memory and folder both keep
// the store as it was, and a failed write that cannot put the old store
// back and says so.
#include <windows.h>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "new_files.h"
#include "store_fixtures.h"
#include "support/log_seam.h"
#include "support/temp_folder.h"
#include "vornpath/pki/CheckCertStore.h"
#include "vornpath/pki/FileBaseCertificateStore.h"
#include "vornpath/pki/store_result.h"
#include "win/handle.h"

using namespace vornpath::pki;
using namespace store_test;
using qen_lib::cert::Cert;

namespace {

// Changes each refused or answered without a write: the folder stays the
// producer's folder byte for byte.
struct Unwritten {
    const char* what;
    std::function<int()> change;
    int code;
};

void ExpectNothingWritten(const std::wstring& fixture, const std::wstring& folder,
                          const std::vector<Unwritten>& changes) {
    for (const Unwritten& c : changes) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.code, c.change());
        EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(fixture, folder));
    }
}

// While it lives, the store's moves onto the index fail, and so does every
// move onto the Mac file after the first: a save stops with its new Mac file
// in place, and the old one cannot go back.
class MacCannotGoBack {
public:
    explicit MacCannotGoBack(const std::wstring& index) {
        s_index = index;
        s_macMoves = 0;
        detail::move_function() = Move;
    }
    ~MacCannotGoBack() { detail::move_function() = ::MoveFileExW; }
    MacCannotGoBack(const MacCannotGoBack&) = delete;
    MacCannotGoBack& operator=(const MacCannotGoBack&) = delete;

private:
    static BOOL WINAPI Move(LPCWSTR from, LPCWSTR to, DWORD flags) {
        if (to == s_index || (to == s_index + L".0" && s_macMoves++ > 0)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return MoveFileExW(from, to, flags);
    }

    static std::wstring s_index;
    static int s_macMoves;
};

std::wstring MacCannotGoBack::s_index;
int MacCannotGoBack::s_macMoves = 0;

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
    ASSERT_EQ(STORE_OK, store.Setup(false));
    ExpectNothingWritten(Fixture(L"rows\\intact\\cs1"), folder, {
        {"a certificate never loaded", [&] { return store.AddCert(Cert(), true); }, STORE_CERT_FILE_UNLOADABLE},
        {"bytes that are no certificate", [&] { return store.AddCert(LoadFixture(L"roots.txt"), true); },
         STORE_CERT_FILE_UNLOADABLE},
        {"no key identifier",
         [&] { return store.AddCert(LoadFixture(L"empty_key_id.der"), true); }, STORE_BAD_KEY_ID},
        {"the same trust flag again", [&] { return store.AddCert(small[0], true); }, STORE_OK},
        {"removing what is not there", [&] { return store.RemoveCert(notInStore); }, STORE_OK},
    });
}

// The largest counter reads; the next one would not, so every write is
// refused before it changes anything, the new certificate's file included.
TEST_F(StoreChangeTest, AFullCounterRefusesEveryWrite) {
    testing_support::TempFolder fullTemp;
    const std::wstring full = CopyStore(Fixture(L"full\\cs1"), fullTemp);
    FileBaseCertificateStore fullStore(full);
    ASSERT_EQ(STORE_OK, fullStore.Setup(false));
    ExpectNothingWritten(Fixture(L"full\\cs1"), full, {
        {"adding", [&] { return fullStore.AddCert(LoadRoot(L"003.der"), true); }, STORE_INDEX_UNWRITABLE},
        {"a trust change", [&] { return fullStore.AddCert(small[0], false); }, STORE_INDEX_UNWRITABLE},
        {"removing", [&] { return fullStore.RemoveCert(small[1]); }, STORE_INDEX_UNWRITABLE},
    });
    EXPECT_EQ(3, CertCount(fullStore));
    EXPECT_EQ(CHECK_STORE_OK, CheckCertStore(full.c_str()));
}

TEST_F(StoreChangeTest, RemovingARecordWhoseFileIsGoneSucceeds) {
    ASSERT_EQ(STORE_OK, store.Setup(false));
    const std::wstring file = folder + L"\\" + store.CertHashToString(store.GetCertHash(small[1])) + L".cer";
    ASSERT_TRUE(DeleteFileW(file.c_str()));
    EXPECT_EQ(STORE_OK, store.RemoveCert(small[1]));
    EXPECT_EQ(2, CertCount(store));
    EXPECT_EQ(2, FreshCount());
}

HANDLE OpenToRead(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

// A failed write: the certificate not taken in memory, the folder's index
// and Mac file still a matching pair.
TEST_F(StoreChangeTest, AFailedWriteLeavesTheOldStore) {
    const std::wstring index = folder + L"\\indexV2.txt";
    win::FileHandle held;
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
        {"Mac file cannot be replaced", [&] { held.reset(OpenToRead(index + L".0")); }, [&] { held.reset(); },
         STORE_MAC_UNWRITABLE},
        // The new Mac file is in place when the index move fails: it goes back.
        {"index cannot be replaced", [&] { held.reset(OpenToRead(index)); }, [&] { held.reset(); },
         STORE_INDEX_UNWRITABLE},
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

// A save whose old Mac file cannot go back says so, and leaves the folder as
// a save stopped between its two moves does; the next load finishes it.
TEST_F(StoreChangeTest, AMacFileThatCannotGoBackIsReported) {
    ASSERT_EQ(STORE_OK, store.Setup(false));
    testing_support::TempFolder logFolder;
    qen_lib::log::testing::LogSwitchedOn log(logFolder / L"log.txt");
    {
        const MacCannotGoBack moves(folder + L"\\indexV2.txt");
        EXPECT_EQ(STORE_MAC_UNWRITABLE, store.AddCert(LoadRoot(L"003.der"), false));
    }
    const std::vector<std::wstring> messages = log.messages();
    EXPECT_EQ(1, std::count(messages.begin(), messages.end(), L"Mac file restoring failed: cs1"));
    EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(L"interrupted\\stopped\\cs1"), folder));
    EXPECT_EQ(4, FreshCount());
    EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(L"interrupted\\finished\\cs1"), folder));
}

}  // namespace
