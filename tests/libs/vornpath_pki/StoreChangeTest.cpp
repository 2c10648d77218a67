// Changes to a store: what is refused before anything is written, what
// writes nothing, writes that fail, after which memory and folder both keep
// the store as it was, the order in which a save's files reach the disk, and
// saves stopped between their two moves.
#include <windows.h>

#include <functional>

#include <gtest/gtest.h>

#include "folder_steps.h"
#include "store_fixtures.h"
#include "support/replace_seam.h"
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

// While it lives, the store's steps on its folder's files go through step.
class StepsReplaced {
public:
    using Step = std::function<void(const std::wstring& path, bool changes)>;
    explicit StepsReplaced(Step step) {
        s_step = std::move(step);
        detail::step_function() = Forward;
    }
    ~StepsReplaced() {
        detail::step_function() = nullptr;
        s_step = nullptr;
    }
    StepsReplaced(const StepsReplaced&) = delete;
    StepsReplaced& operator=(const StepsReplaced&) = delete;

private:
    static void Forward(const std::wstring& path, bool changes) { s_step(path, changes); }
    static Step s_step;
};

StepsReplaced::Step StepsReplaced::s_step;

class StoreChangeTest : public testing::Test {
protected:
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
        {"the certificate file cannot be moved in",
         [&] {
             const testing_support::ReplaceSteps refused([](const std::wstring& step) -> DWORD {
                 return step.compare(step.size() - 4, 4, L".cer") == 0 ? ERROR_ACCESS_DENIED : 0;
             });
             return store.AddCert(notInStore, true);
         },
         STORE_CERT_FILE_UNWRITABLE},
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

// Each new file reaches the disk before the file that names it: the new
// certificate file before any index, the new index and Mac file before
// either moves in, the Mac file moved in before the index. After a power
// loss the folder is then the old store or the new one, or a save stopped
// between its moves; only Windows can show that with a real power loss.
TEST_F(StoreChangeTest, EachNewFileIsOnTheDiskBeforeTheFileThatNamesIt) {
    const Cert added = LoadRoot(L"003.der");
    ASSERT_EQ(STORE_OK, store.Setup(false));
    const std::wstring cer = store.CertHashToString(store.GetCertHash(added)) + L".cer";
    const testing_support::ReplaceSteps steps;
    ASSERT_EQ(STORE_OK, store.AddCert(added, false));
    EXPECT_EQ(std::vector<std::wstring>({
                  L"flush " + cer + L".new",
                  L"move " + cer + L".new " + cer,
                  L"flush indexV2.txt.new",
                  L"flush indexV2.txt.0.new",
                  L"move indexV2.txt.0.new indexV2.txt.0",
                  L"move indexV2.txt.new indexV2.txt",
              }),
              steps.steps());
}

// Saves whose index does not follow their new Mac file at once. The new
// store stands: the save says so, and never puts the old Mac file back over
// what a load or a later save has made of the folder meanwhile.
TEST_F(StoreChangeTest, SavesStoppedBetweenTheirMoves) {
    win::FileHandle held;
    struct Case {
        const char* what;
        std::function<void(const std::wstring& folder)> meet;  // the save's move of its index
        std::function<void(const std::wstring& folder)> then;  // after the save, while what met it lasts
        const wchar_t* left;                                     // the fixture that the save leaves, if any
        int certs;                                               // what the next load reads
    };
    const Case cases[] = {
        // The folder is then a save stopped between its moves, as a crash
        // leaves it, and the next load finishes it.
        {"someone holds the index open",
         [&](const std::wstring& folder) { held.reset(OpenToRead(folder + L"\\indexV2.txt")); },
         nullptr, L"interrupted\\stopped\\cs1", 4},
        // A later save cannot finish it either, so it takes nothing in, and
        // a failed write of its own never takes the stopped save's index away.
        {"a later save meets the held index and its Mac file is refused",
         [&](const std::wstring& folder) { held.reset(OpenToRead(folder + L"\\indexV2.txt")); },
         [](const std::wstring& folder) {
             const testing_support::ReplaceSteps refused([](const std::wstring& step) -> DWORD {
                 return step.find(L"indexV2.txt.0.new") != std::wstring::npos ? ERROR_ACCESS_DENIED : 0;
             });
             FileBaseCertificateStore later(folder);
             EXPECT_EQ(STORE_OK, later.Setup(false));
             EXPECT_NE(STORE_OK, later.AddCert(LoadRoot(L"004.der"), true));
         },
         nullptr, 4},
        {"a load finishes the save first",
         [](const std::wstring& folder) { EXPECT_EQ(STORE_OK, FileBaseCertificateStore(folder).Setup(false)); },
         nullptr, L"interrupted\\finished\\cs1", 4},
        {"a load finishes it and a later save lands",
         [](const std::wstring& folder) {
             FileBaseCertificateStore later(folder);
             EXPECT_EQ(STORE_OK, later.Setup(false));
             EXPECT_EQ(STORE_OK, later.AddCert(LoadRoot(L"004.der"), true));
         },
         nullptr, nullptr, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::TempFolder caseTemp;
        const std::wstring caseFolder = CopyStore(Fixture(L"rows\\intact\\cs1"), caseTemp);
        FileBaseCertificateStore caseStore(caseFolder);
        ASSERT_EQ(STORE_OK, caseStore.Setup(false));
        {
            bool met = false;
            const StepsReplaced steps([&](const std::wstring& path, bool changes) {
                if (met || !changes || path != caseFolder + L"\\indexV2.txt") return;
                met = true;
                c.meet(caseFolder);
            });
            EXPECT_EQ(STORE_OK, caseStore.AddCert(LoadRoot(L"003.der"), false));
        }
        if (c.then) c.then(caseFolder);
        held.reset();
        if (c.left) {
            EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(c.left), caseFolder));
        }
        FileBaseCertificateStore next(caseFolder);
        EXPECT_EQ(STORE_OK, next.Setup(false));
        EXPECT_EQ(c.certs, CertCount(next));
    }
}

}  // namespace
