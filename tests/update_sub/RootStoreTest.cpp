// Registration in the machine's "Root" store, read back through CryptoAPI:
// under Wine the prefix's machine store is writable. Warnings go to a
// recording call instead of a message box.
//
// Only Windows can show: the machine store refusing a process without
// administrator rights (Wine's process always has them, so that row opens
// through a call that fails as Windows would), and Windows then trusting a
// server chain that ends in a registered root.
#include <gtest/gtest.h>

#include "RootStoreFixtures.h"
#include "certfolders/RootStore.h"
#include "certpackage/CertPackageExtraction.h"
#include "support/StateFixtures.h"

namespace {

std::vector<std::wstring> g_warnings;

int WINAPI RecordWarning(HWND owner, LPCWSTR text, LPCWSTR title, UINT flags) {
    const bool asSpecified = !owner && std::wstring(title) == L"証明書登録" && flags == MB_ICONWARNING;
    g_warnings.push_back(asSpecified ? text : L"<another box>");
    return IDOK;
}

HCERTSTORE WINAPI DeniedStore(LPCSTR, DWORD, HCRYPTPROV_LEGACY, DWORD, const void*) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

const std::wstring kFailed = L"Velmo 認証局証明書の登録に失敗しました。\n\n";

// The machine's Root store, a store that does not exist (and is not made),
// or one that refuses.
RootStoreTarget Target(const wchar_t* name = L"Root", OpenStoreCall open = ::CertOpenStore) {
    RootStoreTarget target;
    if (wcscmp(name, L"Root") != 0) target.flags |= CERT_STORE_OPEN_EXISTING_FLAG;
    target.name = name;
    target.open = open;
    target.warn = RecordWarning;
    return target;
}

std::vector<std::wstring> Warnings(const std::wstring& text) {
    return text.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{text};
}

class RootStoreTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_roots.size(), 3u); }
    const std::vector<std::string> m_roots = CertFiles(GoodPackage() + L"\\cs1");
    MachineRootCleanup m_cleanup{m_roots};
};

}  // namespace

TEST_F(RootStoreTest, ACertificateIsRegisteredOnceAndEachFailureWarned) {
    const std::string junk = "\x30\x03\x01\x02\x03";
    const struct {
        const char* name;
        RootStoreTarget target;
        const std::string& der;
        int result;
        std::wstring warning;
        bool stored;
    } rows[] = {
        {"added", Target(), m_roots[0], REGISTER_OK, L"", true},
        {"already there", Target(), m_roots[0], REGISTER_OK, L"", true},
        {"not a certificate", Target(), junk, REGISTER_ADD_FAILED,
         kFailed + L"証明書ストアでエラーが発生しました(エラーコード=8009310b)。", false},
        {"store cannot be opened", Target(L"VutNoSuchStore"), m_roots[1], REGISTER_STORE_NOT_OPENED,
         kFailed + L"証明書ストアが開けません(エラーコード=00000002)。", false},
        {"no rights on the store", Target(L"Root", DeniedStore), m_roots[1], REGISTER_OK, L"", false},
    };
    for (const auto& row : rows) {
        g_warnings.clear();
        const auto* der = reinterpret_cast<const BYTE*>(row.der.data());
        EXPECT_EQ(RegisterRootCertificate(der, static_cast<DWORD>(row.der.size()), row.target), row.result) << row.name;
        EXPECT_EQ(g_warnings, Warnings(row.warning)) << row.name;
        EXPECT_EQ(InMachineRoot(row.der), row.stored) << row.name;
    }
}

// A store that does not read whole registers nothing, with the warning of
// its store result.
TEST_F(RootStoreTest, AStoreIsRegisteredWholeOrNotAtAll) {
    TempFolder spoiled;
    CertPackageFolder unpacked;
    ASSERT_TRUE(ExtractCertPackage(PackageFixture(L"spoiled.cab").c_str(), spoiled.path().c_str(), unpacked));
    g_warnings.clear();
    EXPECT_EQ(RegisterStoreRoots(spoiled / L"cs1", Target()), 7);
    EXPECT_EQ(g_warnings, Warnings(kFailed + L"証明書保管庫が改ざんされています。"));
    for (const std::string& root : m_roots) EXPECT_FALSE(InMachineRoot(root));
}
