// The store check over the producer's folders, each spoiled in one way: the
// check's result, the store's own code behind it and the log entry that
// names the cause.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qen_lib/text.h"
#include "store_fixtures.h"
#include "support/log_seam.h"
#include "support/temp_folder.h"
#include "vornpath/pki/CheckCertStore.h"
#include "vornpath/pki/FileBaseCertificateStore.h"
#include "vornpath/pki/store_result.h"

using namespace vornpath::pki;
using namespace store_test;

namespace {

struct Row {
    const wchar_t* folder;  // below the fixtures, without "\cs1"
    int check;
    int store;              // of opening, or of reading every certificate
    std::size_t certs;      // read before the walk stopped
    const wchar_t* logged;  // the beginning of the entry that names the cause
};

const Row kRows[] = {
    {L"rows\\intact", CHECK_STORE_OK, STORE_OK, 3, nullptr},
    {L"rows\\folder_missing", CHECK_STORE_BROKEN, STORE_NO_DIRECTORY, 0, L"Directory not exists: "},
    {L"rows\\index_missing", CHECK_STORE_FILE_MISSING, STORE_NO_INDEX, 0, L"Index file not exists: "},
    {L"rows\\mac_missing", CHECK_STORE_BROKEN, STORE_INDEX_CORRUPTED, 0, L"Index corrupted: cs1"},
    {L"rows\\cer_missing", CHECK_STORE_FILE_MISSING, STORE_CERT_FILE_MISSING, 1, L"Certificate file not exists: "},
    {L"rows\\index_edited_without_mac", CHECK_STORE_BROKEN, STORE_PASSWORD_WRONG, 0, L"Password wrong: cs1"},
    {L"rows\\index_empty", CHECK_STORE_BROKEN, STORE_INDEX_EMPTY, 0, nullptr},
    {L"rows\\counter_abc", CHECK_STORE_BROKEN, STORE_COUNTER_ILLEGAL, 0, L"Update counter illegal: -1"},
    {L"rows\\counter_negative", CHECK_STORE_BROKEN, STORE_COUNTER_ILLEGAL, 0, L"Update counter illegal: -5"},
    {L"rows\\counter_trailing_text", CHECK_STORE_BROKEN, STORE_COUNTER_ILLEGAL, 0, L"Update counter illegal: -1"},
    {L"rows\\counter_trailing_space", CHECK_STORE_BROKEN, STORE_COUNTER_ILLEGAL, 0, L"Update counter illegal: -1"},
    {L"rows\\counter_empty", CHECK_STORE_BROKEN, STORE_COUNTER_ILLEGAL, 0, L"Update counter illegal: -1"},
    {L"rows\\counter_too_big", CHECK_STORE_BROKEN, STORE_COUNTER_ILLEGAL, 0, L"Update counter illegal: -1"},
    {L"full", CHECK_STORE_OK, STORE_OK, 3, nullptr},
    {L"rows\\duplicate_record", CHECK_STORE_BROKEN, STORE_CERT_HASH_DUPLICATED, 0, L"certHash duplicated: "},
    {L"rows\\missing_cert_hash", CHECK_STORE_BROKEN, STORE_BAD_CERT_HASH, 0, L"Missing certHash"},
    {L"rows\\missing_sha256", CHECK_STORE_BROKEN, STORE_BAD_CERT_HASH_SHA256, 0, L"Missing certHashSHA-256"},
    {L"rows\\missing_key_id", CHECK_STORE_BROKEN, STORE_BAD_KEY_ID, 0, L"Missing keyId"},
    {L"rows\\cert_hash_short", CHECK_STORE_BROKEN, STORE_BAD_CERT_HASH, 0, L"Illegal certHash: "},
    {L"rows\\cert_hash_upper", CHECK_STORE_BROKEN, STORE_BAD_CERT_HASH, 0, L"Illegal certHash: "},
    {L"rows\\cert_hash_extra_field", CHECK_STORE_BROKEN, STORE_BAD_CERT_HASH, 0, L"Illegal certHash: "},
    {L"rows\\sha256_of_sha1_size", CHECK_STORE_BROKEN, STORE_BAD_CERT_HASH_SHA256, 0, L"Illegal certHashSHA-256: "},
    {L"rows\\key_id_not_hex", CHECK_STORE_BROKEN, STORE_BAD_KEY_ID, 0, L"Illegal keyId: zz"},
    // A planted file outside the folder matches these records' SHA-256.
    {L"rows\\cert_hash_backslash", CHECK_STORE_BROKEN, STORE_BAD_CERT_HASH, 0, L"Illegal certHash: ..\\outside"},
    {L"rows\\cert_hash_slash", CHECK_STORE_BROKEN, STORE_BAD_CERT_HASH, 0, L"Illegal certHash: ../outside"},
    {L"rows\\line_too_long", CHECK_STORE_FILE_UNREADABLE, STORE_INDEX_UNREADABLE, 0,
     L"FU_TraverseFileEx failed(0x0000007a)"},
    {L"rows\\last_record_without_end", CHECK_STORE_OK, STORE_OK, 2, nullptr},
    {L"rows\\trust_spelling", CHECK_STORE_OK, STORE_OK, 3, nullptr},
    {L"rows\\cer_truncated", CHECK_STORE_FILE_UNREADABLE, STORE_CERT_FILE_UNLOADABLE, 1,
     L"Certificate file loading failed: "},
    {L"rows\\cer_swapped", CHECK_STORE_BROKEN, STORE_CERT_FILE_CORRUPTED, 1, L"Certificate file corrupted: "},
    {L"rows\\cer_of_another_sha1", CHECK_STORE_BROKEN, STORE_CERT_FILE_CORRUPTED, 0, L"Certificate file corrupted: "},
};

bool Logged(const std::vector<std::wstring>& messages, const wchar_t* beginning) {
    return std::any_of(messages.begin(), messages.end(),
                       [beginning](const std::wstring& m) { return qen_lib::text::starts_with(m, beginning); });
}

TEST(CheckCertStore, EachSpoiledFolderFailsForItsOwnReason) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(testing::Message() << row.folder);
        const std::wstring folder = Fixture(std::wstring(row.folder) + L"\\cs1");
        testing_support::TempFolder logFolder;
        qen_lib::log::testing::LogSwitchedOn log(logFolder / L"log.txt");
        EXPECT_EQ(row.check, CheckCertStore(folder.c_str()));
        if (row.logged) {
            EXPECT_TRUE(Logged(log.messages(), row.logged));
        }

        int result = -1;
        const auto store = CreateFileBaseCertificateStore(folder, result);
        std::size_t certs = 0;
        if (result == STORE_OK) certs = store->GetAllCerts(result).size();
        EXPECT_EQ(row.store, result);
        EXPECT_EQ(row.certs, certs);
    }
}

}  // namespace
