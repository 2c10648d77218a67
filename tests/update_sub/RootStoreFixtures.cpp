#include "RootStoreFixtures.h"

#include <windows.h>
#include <wincrypt.h>

#include <filesystem>

#include "certpackage/CertPackageExtraction.h"
#include "support/StateFixtures.h"
#include "win/handle.h"

namespace {

std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

// The machine's Root store as Windows reads it, or its registry part alone:
// Wine drops a deletion through the first when the store is closed.
win::CertStore OpenMachineRoot(LPCSTR provider = CERT_STORE_PROV_SYSTEM_W) {
    return win::CertStore(CertOpenStore(provider, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
}

// The stored copy of the certificate, or none.
PCCERT_CONTEXT FindIn(HCERTSTORE store, const std::string& der) {
    const win::CertContext wanted(CertCreateCertificateContext(
        X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size())));
    if (!wanted) return nullptr;
    return CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted.get(), nullptr);
}

}  // namespace

std::wstring PackageFixture(const wchar_t* name) { return WindowsPath(CERT_PACKAGE_FIXTURES) + L"\\" + name; }

std::wstring PlantedStore() { return WindowsPath(PLANTED_STORE); }

std::vector<std::string> CertFiles(const std::wstring& folder) {
    std::vector<std::string> certs;
    for (const auto& [name, bytes] : FolderFiles(folder))
        if (name.size() > 4 && name.compare(name.size() - 4, 4, L".cer") == 0) certs.push_back(bytes);
    return certs;
}

const std::wstring& GoodPackage() {
    static const testing_support::TempFolder folder;
    // Empty when it does not unpack: the cases then find no roots.
    static const std::wstring path = [] {
        CertPackageFolder unpacked;
        return ExtractCertPackage(PackageFixture(L"good.cab").c_str(), folder.path().c_str(), unpacked) ? folder.path()
                                                                                                      : L"";
    }();
    return path;
}

bool InMachineRoot(const std::string& der) {
    const win::CertStore root = OpenMachineRoot();
    const win::CertContext found(root ? FindIn(root.get(), der) : nullptr);
    return static_cast<bool>(found);
}

MachineRootCleanup::MachineRootCleanup(std::vector<std::string> certs) : m_certs(std::move(certs)) { Remove(); }

MachineRootCleanup::~MachineRootCleanup() { Remove(); }

void MachineRootCleanup::Remove() const {
    const win::CertStore root = OpenMachineRoot(CERT_STORE_PROV_SYSTEM_REGISTRY_W);
    if (!root) return;
    // CertDeleteCertificateFromStore frees the context it is given.
    for (const std::string& der : m_certs)
        if (PCCERT_CONTEXT stored = FindIn(root.get(), der)) CertDeleteCertificateFromStore(stored);
}
