// Opening a store folder, and the operations that change it.
#include "vornpath/pki/FileBaseCertificateStore.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "locked_frame.h"
#include "qen_lib/fu.h"
#include "qen_lib/log.h"
#include "store_files.h"
#include "vornpath/pki/store_result.h"

namespace vornpath::pki {

const wchar_t INDEX_FILE_NAME[] = L"indexV2.txt";

namespace {

// No program shares a store between threads: one lock that does nothing
// serves every store.
async::NullMutex s_nullMutex;

using KeyIdMap = std::map<std::wstring, std::vector<std::wstring>>;

// Certificates already read survive a reload when the new index still
// describes them by both digests. Called only once the new maps are
// complete: the old maps, left with moved-from certificates, go right after.
void KeepLoadedCerts(CertHashMap& old, CertHashMap& fresh) {
    for (auto& entry : fresh) {
        CertRecord& record = entry.second;
        const auto found = old.find(entry.first);
        if (found != old.end() && found->second.cert.is_loaded() &&
            found->second.certHashSha256 == record.certHashSha256) {
            record.cert = std::move(found->second.cert);
        }
    }
}

}  // namespace

FileBaseCertificateStore::FileBaseCertificateStore(const std::wstring& folder)
    : m_folder(TrimmedFolder(folder)),
      m_indexPath(m_folder + L"\\" + INDEX_FILE_NAME),
      m_mutex(&s_nullMutex) {}

FileBaseCertificateStore::~FileBaseCertificateStore() = default;

int FileBaseCertificateStore::Setup(bool create) {
    if (!PathIsDirectoryW(m_folder.c_str())) {
        qen_lib::log::report(L"vornpath::pki::FileBaseCertificateStore::Setup", 121, L"Directory not exists: %ls",
                             m_folder.c_str());
        return STORE_NO_DIRECTORY;
    }
    const LockedFrame frame(m_mutex);
    if (!frame.ready()) return STORE_LOCK_FAILED;
    if (!create) return refreshMemory();
    if (FU_FileExists(m_indexPath.c_str())) {
        qen_lib::log::report(L"vornpath::pki::FileBaseCertificateStore::Setup", 134,
                             L"Index file already exists: %ls", m_indexPath.c_str());
        return STORE_INDEX_EXISTS;
    }
    return SaveWithNextCounter();
}

int FileBaseCertificateStore::refreshMemory() {
    int fileCounter = -1;
    std::vector<CertRecord> records;
    if (const int code = LoadIndexAndCerts(m_folder, m_indexPath, m_counter, fileCounter, records)) return code;
    if (fileCounter == m_counter) return STORE_OK;

    // The new maps are built beside the old ones and replace them, with the
    // counter, only when the whole index was taken.
    CertHashMap certHashes;
    KeyIdMap keyIds;
    for (CertRecord& record : records) {
        if (certHashes.count(record.certHash)) {
            qen_lib::log::report(L"vornpath::pki::FileBaseCertificateStore::refreshMemory", 393,
                                 L"certHash duplicated: %ls", record.certHash.c_str());
            return STORE_CERT_HASH_DUPLICATED;
        }
        keyIds[record.keyId].push_back(record.certHash);
        std::wstring certHash = record.certHash;
        certHashes.emplace(std::move(certHash), std::move(record));
    }
    KeepLoadedCerts(m_certHashMap, certHashes);
    m_certHashMap.swap(certHashes);
    m_keyIdMap.swap(keyIds);
    m_counter = fileCounter;
    return STORE_OK;
}

int FileBaseCertificateStore::RoomForWrite() const {
    if (m_counter < INT_MAX) return STORE_OK;
    qen_lib::log::report(L"vornpath::pki::FileBaseCertificateStore::RoomForWrite", 598, L"Update counter full: %d",
                         m_counter);
    return STORE_INDEX_UNWRITABLE;
}

int FileBaseCertificateStore::SaveWithNextCounter() {
    if (const int code = RoomForWrite()) return code;
    const int next = m_counter + 1;
    const int code = SaveIndex(m_folder, m_indexPath, next, m_certHashMap);
    if (code == STORE_OK) m_counter = next;
    return code;
}

int FileBaseCertificateStore::AddCert(const qen_lib::cert::Cert& cert, bool isTrusted) {
    // A record must be readable again: refused before anything is written.
    if (!cert.is_loaded()) {
        qen_lib::log::report(L"vornpath::pki::FileBaseCertificateStore::AddCert", 761, L"Certificate not loaded: %ls",
                             CertHashText(cert).c_str());
        return STORE_CERT_FILE_UNLOADABLE;
    }
    const std::wstring keyId = KeyIdText(cert);
    if (keyId.empty()) {
        qen_lib::log::report(L"vornpath::pki::FileBaseCertificateStore::AddCert", 766, L"Missing %ls", L"keyId");
        return STORE_BAD_KEY_ID;
    }
    const LockedFrame frame(m_mutex);
    if (!frame.ready()) return STORE_LOCK_FAILED;
    if (const int code = refreshMemory()) return code;

    const std::wstring certHash = CertHashText(cert);
    const auto found = m_certHashMap.find(certHash);
    if (found != m_certHashMap.end()) {
        CertRecord& record = found->second;
        if (!record.cert.is_loaded()) {
            if (const int code = LoadCert(m_folder, record)) return code;
        }
        if (record.isTrusted == isTrusted) return STORE_OK;
        record.isTrusted = isTrusted;
        const int code = SaveWithNextCounter();
        if (code != STORE_OK) record.isTrusted = !isTrusted;
        return code;
    }

    // Refused before the certificate file is written.
    if (const int code = RoomForWrite()) return code;
    CertRecord record{certHash, CertHashSha256Text(cert), isTrusted, keyId, cert};
    if (const int code = saveCert(m_folder, record)) return code;
    // The index is written from the certHash map alone; memory takes the
    // record only when the folder does (the certificate file stays anyway).
    const auto added = m_certHashMap.emplace(certHash, std::move(record)).first;
    if (const int code = SaveWithNextCounter()) {
        m_certHashMap.erase(added);
        return code;
    }
    m_keyIdMap[keyId].push_back(certHash);
    return STORE_OK;
}

int FileBaseCertificateStore::RemoveCert(const qen_lib::cert::Cert& cert) {
    const LockedFrame frame(m_mutex);
    if (!frame.ready()) return STORE_LOCK_FAILED;
    if (const int code = refreshMemory()) return code;

    const std::wstring certHash = CertHashText(cert);
    auto removed = m_certHashMap.extract(certHash);
    if (!removed) return STORE_OK;
    if (const int code = SaveWithNextCounter()) {
        m_certHashMap.insert(std::move(removed));
        return code;
    }
    // The keyId entry stays, possibly with no certHash left.
    std::vector<std::wstring>& sharing = m_keyIdMap[removed.mapped().keyId];
    sharing.erase(std::remove(sharing.begin(), sharing.end(), certHash), sharing.end());
    return DeleteCertFile(m_folder, removed.mapped());
}

std::shared_ptr<CertificateStore> CreateFileBaseCertificateStore(const std::wstring& folder, int& result) {
    std::shared_ptr<CertificateStore> store(new FileBaseCertificateStore(folder));
    result = store->Setup(false);
    return store;
}

}  // namespace vornpath::pki
