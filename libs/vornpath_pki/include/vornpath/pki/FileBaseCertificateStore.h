#pragma once
// The certificate store kept in one folder: the index "indexV2.txt" (an
// update counter, then one record per certificate), its Mac file
// "indexV2.txt.0", and one DER file per certificate named by its SHA-1 hash
// text with ".cer". Every file is written new beside its name, flushed and
// moved in (qen_lib/fu_replace.h); a new certificate file before the index
// that names it. A save writes "indexV2.txt.new" beside the index and moves
// its new Mac file in before its index; from then on the new store stands,
// and a load that finds the Mac file matching that new index in place of the
// old one reads it and finishes the save. The programs open a store's folder
// with Setup(false) and read it; the other operations complete the
// interface.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "qen_lib/cert/Cert.h"
#include "vornpath/async/Mutex.h"
#include "vornpath/pki/CertificateStore.h"

namespace vornpath::pki {

// The index file's name in the store folder (format version 2, the only one
// read or written); its first line is the update counter.
extern const wchar_t INDEX_FILE_NAME[];

// One certificate of the index.
struct CertRecord {
    std::wstring certHash;        // hash text of the SHA-1 of the DER bytes: key and file name
    std::wstring certHashSha256;  // hash text of the SHA-256 ("certHashSHA-256" in the index)
    bool isTrusted = false;
    std::wstring keyId;           // hash text of the subject key identifier
    qen_lib::cert::Cert cert;     // read from its file on first use, then kept
};

class FileBaseCertificateStore : public CertificateStore {
public:
    // Touches no file. A folder given with a trailing separator names the
    // same store as without it.
    explicit FileBaseCertificateStore(const std::wstring& folder);
    ~FileBaseCertificateStore() override;
    FileBaseCertificateStore(const FileBaseCertificateStore&) = delete;
    FileBaseCertificateStore& operator=(const FileBaseCertificateStore&) = delete;

    int Setup(bool create) override;
    qen_lib::port::Bytes GetKeyId(const qen_lib::cert::Cert& cert) const override;
    qen_lib::port::Bytes GetCertHash(const qen_lib::cert::Cert& cert) const override;
    std::wstring CertHashToString(const qen_lib::port::Bytes& bytes) const override;
    std::wstring KeyIdToString(const qen_lib::port::Bytes& bytes) const override;
    std::pair<int, Certs> FindCertsByName(const qen_lib::port::NameInfo& name) override;
    std::pair<int, Certs> FindCertsByKeyIdBytes(const qen_lib::port::Bytes& keyId) override;
    bool IsTrusted(const qen_lib::port::Bytes& certHash) const override;
    Certs GetAllCerts(int& result) override;
    Certs FindCertsBySubject(const std::wstring& subject, int& result) override;
    Certs FindCertsByKeyId(const std::wstring& keyId, int& result) override;
    int RemoveCert(const qen_lib::cert::Cert& cert) override;
    int AddCert(const qen_lib::cert::Cert& cert, bool isTrusted) override;

private:
    // Reloads the index when its counter differs from the store's; a failed
    // reload leaves the store as it was.
    int refreshMemory();
    // STORE_OK while the counter can take one more write; at the largest int
    // the next counter would wrap to a negative one that no load accepts,
    // so the write is refused with STORE_INDEX_UNWRITABLE.
    int RoomForWrite() const;
    // Writes the maps as they stand under the next counter, and takes that
    // counter only when the index and its Mac file were written.
    int SaveWithNextCounter();

    std::wstring m_folder;
    std::wstring m_indexPath;
    async::Mutex* m_mutex;  // the one static NullMutex, not owned
    int m_counter = -1;     // of the index last read or written
    std::map<std::wstring, CertRecord> m_certHashMap;
    std::map<std::wstring, std::vector<std::wstring>> m_keyIdMap;  // keyId -> certHashes, in order added
};

// A store for the folder on the heap, opened with Setup(false), whose code is
// left in result; the store is returned whatever the result.
std::shared_ptr<CertificateStore> CreateFileBaseCertificateStore(const std::wstring& folder, int& result);

}  // namespace vornpath::pki
