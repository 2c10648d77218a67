// Changes to a store: what is refused before anything is written, what
// writes nothing, writes that fail, after which memory and folder both keep
// the store as it was, and saves stopped between their two moves.
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

// Open elsewhere, readable but neither writable nor replaceable.
HANDLE OpenToRead(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

// While it lives, the store's moves go through move in place of MoveFileExW.
class MovesReplaced {
public:
    using Move = std::function<BOOL(const std::wstring& from, const std::wstring& to, DWORD flags)>;
    explicit MovesReplaced(Move move) {
        s_move = std::move(move);
        detail::move_function() = Forward;
    }
    ~MovesReplaced() {
        detail::move_function() = ::MoveFileExW;
        s_move = nullptr;
    }
    MovesReplaced(const MovesReplaced&) = delete;
    MovesReplaced& operator=(const MovesReplaced&) = delete;

private:
    static BOOL WINAPI Forward(LPCWSTR from, LPCWSTR to, DWORD flags) { return s_move(from, to, flags); }
    static Move s_move;
};

MovesReplaced::Move MovesReplaced::s_move;

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

// Saves that stop between moving the new Mac file in and moving the index
// in: one whose old Mac file cannot go back says so, and leaves the folder
// as a save stopped there by a crash does; one whose move a load of another
// store object finishes first is done. Either way the next load reads the
// new store.
TEST_F(StoreChangeTest, SavesStoppedBetweenTheirMoves) {
    struct Case {
        const char* what;
        // The move of a save onto the folder's index or Mac file.
        std::function<BOOL(const std::wstring& folder, const std::wstring& from, const std::wstring& to, DWORD)> move;
        int code;
        int restoreFailures;  // entries "Mac file restoring failed: cs1"
        const wchar_t* left;  // the folder the save leaves
    };
    int macMoves = 0;
    bool loaded = false;
    const Case cases[] = {
        {"the old Mac file cannot go back",
         [&](const std::wstring& folder, const std::wstring& from, const std::wstring& to, DWORD flags) {
             if (to == folder + L"\\indexV2.txt" || (to == folder + L"\\indexV2.txt.0" && macMoves++ > 0)) {
                 SetLastError(ERROR_ACCESS_DENIED);
                 return FALSE;
             }
             return MoveFileExW(from.c_str(), to.c_str(), flags);
         },
         STORE_MAC_UNWRITABLE, 1, L"interrupted\\stopped\\cs1"},
        {"a load finishes the save first",
         [&](const std::wstring& folder, const std::wstring& from, const std::wstring& to, DWORD flags) {
             if (to == folder + L"\\indexV2.txt" && !loaded) {
                 loaded = true;
                 EXPECT_EQ(STORE_OK, FileBaseCertificateStore(folder).Setup(false));
             }
             return MoveFileExW(from.c_str(), to.c_str(), flags);
         },
         STORE_OK, 0, L"interrupted\\finished\\cs1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::TempFolder caseTemp;
        const std::wstring caseFolder = CopyStore(Fixture(L"rows\\intact\\cs1"), caseTemp);
        FileBaseCertificateStore caseStore(caseFolder);
        ASSERT_EQ(STORE_OK, caseStore.Setup(false));
        testing_support::TempFolder logFolder;
        qen_lib::log::testing::LogSwitchedOn log(logFolder / L"log.txt");
        {
            const MovesReplaced moves([&](const std::wstring& from, const std::wstring& to, DWORD flags) {
                return c.move(caseFolder, from, to, flags);
            });
            EXPECT_EQ(c.code, caseStore.AddCert(LoadRoot(L"003.der"), false));
        }
        const std::vector<std::wstring> messages = log.messages();
        EXPECT_EQ(c.restoreFailures, std::count(messages.begin(), messages.end(), L"Mac file restoring failed: cs1"));
        EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(c.left), caseFolder));
        EXPECT_EQ(STORE_OK, FileBaseCertificateStore(caseFolder).Setup(false));
        EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(L"interrupted\\finished\\cs1"), caseFolder));
    }
}

}  // namespace
