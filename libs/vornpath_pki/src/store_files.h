#pragma once
// The store's file layer: the index with its Mac file, the certificate
// files, and the hash texts that name them. Each function returns a store
// result code and logs its failure as two level-2 entries.
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "qen_lib/byte_buffer.h"
#include "qen_lib/cert/Cert.h"
#include "qen_lib/fu_replace.h"
#include "qen_lib/port/bytes.h"
#include "vornpath/pki/FileBaseCertificateStore.h"

// The name under which the file layer's log entries appear.
#define STORE_FILE_LAYER(name) L"vornpath::pki::`anonymous-namespace'::" name

namespace vornpath::pki {

using CertHashMap = std::map<std::wstring, CertRecord>;

// Reads the index once, checks its Mac over the bytes read and parses those
// same bytes; a save stopped between its two moves is finished first, and
// its new index is read also when it cannot be moved in. When
// the file's counter equals storeCounter the records are not parsed; else
// records gets them in file order, each field checked.
int LoadIndexAndCerts(const std::wstring& folder, const std::wstring& indexPath, int storeCounter,
                      int& fileCounter, std::vector<CertRecord>& records);

// Writes the index of the records under counter together with its Mac file.
// STORE_OK: the new store stands, also when its index could not be moved in
// after its Mac file (the next load finishes the save); any other code: the
// old store stands, its index and Mac file as they were. An earlier save
// whose index still cannot be moved in is that old store: nothing is
// written then (STORE_INDEX_UNWRITABLE).
int SaveIndex(const std::wstring& folder, const std::wstring& indexPath, int counter,
              const CertHashMap& certHashes);

// Reads the record's certificate file into its Cert after checking both
// digests against the record.
int LoadCert(const std::wstring& folder, CertRecord& record);
int saveCert(const std::wstring& folder, const CertRecord& record);
// A file that is already gone counts as deleted.
int DeleteCertFile(const std::wstring& folder, const CertRecord& record);

std::wstring CertFilePath(const std::wstring& folder, const std::wstring& certHash);
inline std::wstring MacFilePath(const std::wstring& indexPath) { return indexPath + L".0"; }

// The writer of a new file that holds exactly these bytes; a failure is
// logged by qen_lib::file::save.
FU_NewFileWriter BytesWriter(const void* data, std::size_t size);

// A save stopped between its two moves: its new index beside the Mac file
// that matches it. False when there is none; else bytes get that index, which
// is moved in, and notMoved the move's error, 0 when it is in place now.
bool FinishStoppedSave(const std::wstring& indexPath, const std::string& name, qen_lib::ByteBuffer& bytes,
                       int& notMoved);

// A new index whose Mac file is in place but which could not be moved in,
// logged as the function's (STORE_FILE_LAYER).
void ReportIndexNotMoved(const wchar_t* function, int line, int error, const std::wstring& indexPath);

// Hash texts: two lowercase hex digits a byte, joined by "_".
std::wstring HashText(const qen_lib::port::Bytes& bytes);
std::wstring CertHashText(const qen_lib::cert::Cert& cert);
std::wstring CertHashSha256Text(const qen_lib::cert::Cert& cert);
std::wstring KeyIdText(const qen_lib::cert::Cert& cert);
// True when text is the hash text of exactly bytes bytes, or of one byte or
// more when bytes is 0: nothing else can name a file of the folder.
bool IsHashText(const std::wstring& text, std::size_t bytes);
constexpr std::size_t SHA1_HASH_BYTES = 20;
constexpr std::size_t SHA256_HASH_BYTES = 32;
constexpr std::size_t ANY_HASH_BYTES = 0;

// The folder without trailing separators (a drive's root keeps its own).
std::wstring TrimmedFolder(const std::wstring& folder);
// The folder's last element in the code page of the process's file
// functions: the suffix of the Mac key. False when it does not convert.
bool StoreFolderName(const std::wstring& folder, std::string& name);

}  // namespace vornpath::pki
