#include "store_fixtures.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "support/test_files.h"
#include "vornpath/pki/FileBaseCertificateStore.h"
#include "vornpath/pki/store_result.h"

namespace store_test {

namespace fs = std::filesystem;

std::wstring Fixture(const std::wstring& relative) {
    return test_files::windows_path(STORE_FIXTURES) + L"\\" + relative;
}

std::vector<Root> Roots() {
    std::wifstream manifest(fs::path(Fixture(L"roots.txt")));
    std::vector<Root> roots;
    Root root;
    int trusted = 0;
    while (manifest >> root.file >> trusted) {
        root.trusted = trusted != 0;
        roots.push_back(root);
    }
    return roots;
}

qen_lib::cert::Cert LoadFixture(const std::wstring& relative) {
    qen_lib::cert::Cert cert;
    cert.load(Fixture(relative));
    return cert;
}

qen_lib::cert::Cert LoadRoot(const std::wstring& file) { return LoadFixture(L"roots\\" + file); }

std::vector<qen_lib::cert::Cert> SmallStoreRoots() {
    std::vector<qen_lib::cert::Cert> certs;
    for (const wchar_t* file : {L"000.der", L"001.der", L"002.der"}) certs.push_back(LoadRoot(file));
    const vornpath::pki::FileBaseCertificateStore namer(L"");
    const auto hashText = [&namer](const qen_lib::cert::Cert& cert) {
        return namer.CertHashToString(namer.GetCertHash(cert));
    };
    std::sort(certs.begin(), certs.end(), [&](const qen_lib::cert::Cert& a, const qen_lib::cert::Cert& b) {
        return hashText(a) < hashText(b);
    });
    return certs;
}

std::wstring CopyStore(const std::wstring& fixtureFolder, const testing_support::TempFolder& parent) {
    const std::wstring folder = parent / L"cs1";
    fs::copy(fs::path(fixtureFolder), fs::path(folder));
    return folder;
}

void CopyIndex(const std::wstring& fixtureFolder, const std::wstring& folder) {
    for (const wchar_t* name : {L"indexV2.txt", L"indexV2.txt.0"}) {
        fs::copy_file(fs::path(fixtureFolder + L"\\" + name), fs::path(folder + L"\\" + name),
                      fs::copy_options::overwrite_existing);
    }
}

std::vector<std::wstring> DifferingFiles(const std::wstring& expected, const std::wstring& actual) {
    std::map<std::wstring, std::string> files[2];
    const std::wstring* folders[2] = {&expected, &actual};
    for (int side = 0; side < 2; ++side) {
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(*folders[side])))
            files[side][entry.path().filename().wstring()] = testing_support::read_bytes(entry.path().wstring());
    }
    std::vector<std::wstring> differing;
    for (int side = 0; side < 2; ++side) {
        for (const auto& file : files[side]) {
            const auto other = files[1 - side].find(file.first);
            if (other == files[1 - side].end() || (side == 0 && other->second != file.second))
                differing.push_back(file.first);
        }
    }
    return differing;
}

int CertCount(vornpath::pki::CertificateStore& store) {
    int result = -1;
    const std::size_t count = store.GetAllCerts(result).size();
    return result == vornpath::pki::STORE_OK ? static_cast<int>(count) : -1;
}

HANDLE OpenToRead(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace store_test
