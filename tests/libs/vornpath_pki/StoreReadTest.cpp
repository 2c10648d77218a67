// Opening and reading stores: reloads that fail and reloads that follow
// them, the searches, and the names under which a folder is given.
#include <windows.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "store_fixtures.h"
#include "support/temp_folder.h"
#include "vornpath/pki/FileBaseCertificateStore.h"
#include "vornpath/pki/store_result.h"
#include "win/handle.h"

using namespace vornpath::pki;
using namespace store_test;

namespace {

TEST(StoreRead, AFailedReloadChangesNothingAndTheNextGoodOneIsTaken) {
    testing_support::TempFolder temp;
    const std::wstring folder = CopyStore(Fixture(L"reload\\base\\cs1"), temp);
    FileBaseCertificateStore store(folder);
    ASSERT_EQ(STORE_OK, store.Setup(false));
    int result = -1;
    ASSERT_EQ(3u, store.GetAllCerts(result).size());
    // From here on only what the store holds can answer: no file to read.
    for (const auto& cer : std::filesystem::directory_iterator(std::filesystem::path(folder))) {
        if (cer.path().extension() == L".cer") std::filesystem::remove(cer.path());
    }

    CopyIndex(Fixture(L"reload\\duplicate\\cs1"), folder);  // counter 4, one record twice
    EXPECT_EQ(STORE_CERT_HASH_DUPLICATED, store.Setup(false));
    EXPECT_EQ(3u, store.GetAllCerts(result).size()) << "every certificate still held";
    EXPECT_EQ(STORE_OK, result);

    CopyIndex(Fixture(L"reload\\good\\cs1"), folder);  // counter 4 too, the second root gone
    EXPECT_EQ(STORE_OK, store.Setup(false));
    const std::vector<qen_lib::cert::Cert> small = SmallStoreRoots();
    const auto certs = store.GetAllCerts(result);
    EXPECT_EQ(STORE_OK, result);
    ASSERT_EQ(2u, certs.size());
    EXPECT_EQ(small[0].der().to_hex(L""), certs[0].der().to_hex(L""));
    EXPECT_EQ(small[2].der().to_hex(L""), certs[1].der().to_hex(L""));
}

// A save stopped between moving its Mac file in and moving its index in:
// the next load finishes it when the new index beside the old one is
// complete, and leaves the folder alone when it is not. One that cannot move
// the new index in (someone holds the index open) reads it all the same.
TEST(StoreRead, ALoadFinishesASaveStoppedBetweenItsMoves) {
    struct Row {
        const wchar_t* folder;  // below the fixtures, without "\cs1"
        bool held;              // the index open elsewhere, without delete sharing
        int code;
        std::size_t certs;
        const wchar_t* after;   // the folder that the load leaves
    };
    const Row rows[] = {
        {L"interrupted\\stopped", false, STORE_OK, 4, L"interrupted\\finished"},
        {L"interrupted\\stopped", true, STORE_OK, 4, L"interrupted\\stopped"},
        {L"interrupted\\cut_short", false, STORE_PASSWORD_WRONG, 0, L"interrupted\\cut_short"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.folder << (row.held ? " held" : ""));
        testing_support::TempFolder temp;
        const std::wstring folder = CopyStore(Fixture(std::wstring(row.folder) + L"\\cs1"), temp);
        const win::FileHandle held(row.held ? OpenToRead(folder + L"\\indexV2.txt") : INVALID_HANDLE_VALUE);
        int result = -1;
        const auto store = CreateFileBaseCertificateStore(folder, result);
        EXPECT_EQ(row.code, result);
        EXPECT_EQ(row.certs, store->GetAllCerts(result).size());
        EXPECT_EQ(STORE_OK, result);
        EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(std::wstring(row.after) + L"\\cs1"), folder));
    }
}

TEST(StoreRead, AFolderWithTrailingSeparatorsIsTheSameStore) {
    for (const wchar_t* tail : {L"", L"\\", L"/", L"\\\\"}) {
        SCOPED_TRACE(testing::Message() << tail);
        int result = -1;
        const auto store = CreateFileBaseCertificateStore(Fixture(L"rows\\intact\\cs1") + tail, result);
        ASSERT_EQ(STORE_OK, result);
        EXPECT_EQ(3u, store->GetAllCerts(result).size());
        EXPECT_EQ(STORE_OK, result);
    }
}

TEST(StoreRead, SearchesFindEachCertificateByItsKeys) {
    int result = -1;
    const auto store = CreateFileBaseCertificateStore(Fixture(L"rows\\trust_spelling\\cs1"), result);
    ASSERT_EQ(STORE_OK, result);
    // The records' trust texts are "TRUE", "true:x" and "false", in order.
    const bool trusted[] = {false, true, false};
    const std::vector<qen_lib::cert::Cert> small = SmallStoreRoots();
    for (std::size_t i = 0; i < small.size(); ++i) {
        const qen_lib::cert::Cert& cert = small[i];
        const std::wstring bytes = cert.der().to_hex(L"");
        SCOPED_TRACE(testing::Message() << i);
        EXPECT_EQ(trusted[i], store->IsTrusted(store->GetCertHash(cert)));

        const auto byKeyId = store->FindCertsByKeyIdBytes(store->GetKeyId(cert));
        EXPECT_EQ(STORE_OK, byKeyId.first);
        ASSERT_EQ(1u, byKeyId.second.size());
        EXPECT_EQ(bytes, byKeyId.second[0].der().to_hex(L""));

        const auto byName = store->FindCertsByName(cert.native().get_subject_name());
        EXPECT_EQ(STORE_OK, byName.first);
        ASSERT_EQ(1u, byName.second.size());
        EXPECT_EQ(bytes, byName.second[0].der().to_hex(L""));
    }
    const auto unknown = store->FindCertsByKeyId(L"00_11", result);
    EXPECT_EQ(STORE_OK, result);
    EXPECT_TRUE(unknown.empty());
}

TEST(StoreRead, AMissingFileFailsTheKeyIdSearchAsUnloadable) {
    int result = -1;
    const auto store = CreateFileBaseCertificateStore(Fixture(L"rows\\cer_missing\\cs1"), result);
    ASSERT_EQ(STORE_OK, result);
    const std::vector<qen_lib::cert::Cert> small = SmallStoreRoots();
    EXPECT_TRUE(store->FindCertsByKeyId(store->KeyIdToString(store->GetKeyId(small[1])), result).empty());
    EXPECT_EQ(STORE_CERT_FILE_UNLOADABLE, result);
    EXPECT_EQ(1u, store->FindCertsByKeyIdBytes(store->GetKeyId(small[2])).second.size());
}

}  // namespace
