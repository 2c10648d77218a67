#pragma once
// The producer's store folders and roots, and copies of them to change.
#include <windows.h>

#include <string>
#include <vector>

#include "qen_lib/cert/Cert.h"
#include "support/temp_folder.h"
#include "vornpath/pki/FileBaseCertificateStore.h"

namespace store_test {

// Windows path of a file or folder below the fixtures ("\" separated).
std::wstring Fixture(const std::wstring& relative);

// A root in the order the producer added it, with its trust flag.
struct Root {
    std::wstring file;
    bool trusted;
};
std::vector<Root> Roots();
qen_lib::cert::Cert LoadRoot(const std::wstring& file);
// A Cert that has loaded a fixture file, whatever it holds.
qen_lib::cert::Cert LoadFixture(const std::wstring& relative);
// The first three roots (the small stores' certificates) in ascending
// certHash order, as the small stores list them.
std::vector<qen_lib::cert::Cert> SmallStoreRoots();

// A folder "cs1" in parent holding a copy of the fixture folder's files.
std::wstring CopyStore(const std::wstring& fixtureFolder, const testing_support::TempFolder& parent);
// Replaces the index and its Mac file by those of a fixture folder.
void CopyIndex(const std::wstring& fixtureFolder, const std::wstring& folder);

// The number of certificates the store reads, -1 when it fails.
int CertCount(vornpath::pki::CertificateStore& store);
// The file open elsewhere, readable but neither writable nor replaceable.
HANDLE OpenToRead(const std::wstring& path);

// Names of the files that one folder has and the other has not, or has with
// other bytes; empty when both hold the same files byte for byte.
std::vector<std::wstring> DifferingFiles(const std::wstring& expected, const std::wstring& actual);

}  // namespace store_test
