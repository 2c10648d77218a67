#include <gtest/gtest.h>

#include "qen_lib/signer/VerifyFileSigner.h"

#include <string>
#include <type_traits>
#include <utility>

#include "signer_fixtures.h"

using signer_test::FixturePath;

namespace {

// The test root is trusted machine-wide for the suite, as a real Windows
// needs it; Wine accepts an untrusted root anyway.
class VerifyFileSignerTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        const win::CertContext root = signer_test::LoadFixtureCert(L"root");
        ASSERT_TRUE(root);
        win::CertStore store(OpenRootStore());
        ASSERT_TRUE(store);
        PCCERT_CONTEXT added = nullptr;
        if (::CertAddCertificateContextToStore(store.get(), root.get(), CERT_STORE_ADD_NEW, &added))
            s_added.reset(added);
    }
    static void TearDownTestSuite() {
        // Deleting frees the context that the store gave out.
        if (s_added) ::CertDeleteCertificateFromStore(s_added.release());
    }

private:
    static HCERTSTORE OpenRootStore() {
        return ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE,
                               L"Root");
    }
    static win::CertContext s_added;
};

win::CertContext VerifyFileSignerTest::s_added;

struct FileCase {
    const wchar_t* file;
    int kind;
    BOOL expected;
    DWORD error;  // last error when FALSE
};

const DWORD NO_MATCH = DWORD(CERT_E_CN_NO_MATCH);

TEST_F(VerifyFileSignerTest, AcceptsOnlySignersWithEveryTestPassed) {
    const FileCase cases[] = {
        {L"ok_ltd_dot.exe", SIGNER_KIND_MAKER, TRUE, 0},
        {L"ok_no_space.exe", SIGNER_KIND_MAKER, TRUE, 0},
        {L"ok_mixed.exe", SIGNER_KIND_MAKER, TRUE, 0},
        {L"ok_more_usages.exe", SIGNER_KIND_MAKER, TRUE, 0},
        {L"no_usage.exe", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        {L"other_usage.exe", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        {L"longer_usage.exe", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        {L"org_case.exe", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        {L"org_no_stop.exe", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        {L"cn_other.exe", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        {L"no_country.exe", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        {L"country_us.exe", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        {L"aux_app.exe", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        {L"aux_app.exe", SIGNER_KIND_AUX_APP, TRUE, 0},
        {L"ok_ltd_dot.exe", SIGNER_KIND_AUX_APP, FALSE, NO_MATCH},
        {L"ok_ltd_dot.exe", 2, FALSE, NO_MATCH},
        {L"ok_ltd_dot.cab", SIGNER_KIND_MAKER, TRUE, 0},
        {L"org_no_stop.cab", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        {L"no_country.cab", SIGNER_KIND_MAKER, FALSE, NO_MATCH},
        // Trust failures keep the platform's reason, not the signer's.
        {L"unsigned.exe", SIGNER_KIND_MAKER, FALSE, DWORD(TRUST_E_NOSIGNATURE)},
        {L"unsigned.cab", SIGNER_KIND_MAKER, FALSE, DWORD(TRUST_E_NOSIGNATURE)},
        {L"changed_byte.exe", SIGNER_KIND_MAKER, FALSE, DWORD(TRUST_E_BAD_DIGEST)},
        {L"missing.exe", SIGNER_KIND_MAKER, FALSE, ERROR_FILE_NOT_FOUND},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " kind " << c.kind);
        ::SetLastError(0);
        win::FileHandle held;
        EXPECT_EQ(c.expected, VerifyFileSigner(FixturePath(c.file).c_str(), c.kind, held));
        if (!c.expected) {
            EXPECT_EQ(c.error, ::GetLastError());
        }
        EXPECT_EQ(c.expected != FALSE, held.valid());
    }
}

TEST_F(VerifyFileSignerTest, MakerIsTheDefaultKind) {
    EXPECT_TRUE(VerifyFileSigner(FixturePath(L"ok_ltd_dot.exe").c_str()));
    EXPECT_FALSE(VerifyFileSigner(FixturePath(L"aux_app.exe").c_str()));
}

// Whether the check by path alone, which holds nothing, can be asked for a
// signer kind.
template <class Path, class = void>
struct PathFormTakesAKind : std::false_type {};
template <class Path>
struct PathFormTakesAKind<Path, std::void_t<decltype(VerifyFileSigner(std::declval<Path>(), SIGNER_KIND_AUX_APP))>>
    : std::true_type {};

TEST_F(VerifyFileSignerTest, OnlyTheHeldFormTakesASignerKind) {
    // Every file checked for a signer kind is run afterwards; checked by path
    // alone, it could be swapped before it runs.
    EXPECT_FALSE(PathFormTakesAKind<LPCWSTR>::value);
}

win::FileHandle OpenForWriting(const std::wstring& path) {
    return win::FileHandle(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST_F(VerifyFileSignerTest, HeldFileCannotBeChangedUntilReleased) {
    const std::wstring path = FixturePath(L"ok_no_space.exe");
    win::FileHandle held;
    ASSERT_TRUE(VerifyFileSigner(path.c_str(), SIGNER_KIND_MAKER, held));
    ASSERT_TRUE(held);

    EXPECT_FALSE(OpenForWriting(path));
    EXPECT_EQ(DWORD(ERROR_SHARING_VIOLATION), ::GetLastError());
    EXPECT_FALSE(::DeleteFileW(path.c_str()));
    EXPECT_FALSE(::MoveFileW(path.c_str(), FixturePath(L"moved.exe").c_str()));
    // Reading it, as running it does, stays possible.
    EXPECT_TRUE(win::FileHandle(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));

    held.reset();
    EXPECT_TRUE(OpenForWriting(path));
}

TEST_F(VerifyFileSignerTest, NothingIsHeldWhenTheCheckFails) {
    const wchar_t* const files[] = {L"cn_other.exe", L"unsigned.exe"};
    for (const wchar_t* file : files) {
        SCOPED_TRACE(testing::Message() << file);
        win::FileHandle held;
        EXPECT_FALSE(VerifyFileSigner(FixturePath(file).c_str(), SIGNER_KIND_MAKER, held));
        EXPECT_FALSE(held);
        EXPECT_TRUE(OpenForWriting(FixturePath(file)));
    }
}

TEST_F(VerifyFileSignerTest, FileOpenForWritingIsRefused) {
    const std::wstring path = FixturePath(L"ok_mixed.exe");
    const win::FileHandle writer = OpenForWriting(path);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(VerifyFileSigner(path.c_str()));
    EXPECT_EQ(DWORD(ERROR_SHARING_VIOLATION), ::GetLastError());
}

// Only a real Windows can show these: Wine's trust policy accepts a chain
// that ends in an untrusted root and does not check a cabinet's content.
struct WindowsOnlyCase {
    const wchar_t* file;
    DWORD error;
};

TEST_F(VerifyFileSignerTest, WindowsOnlyUntrustedRootAndChangedCabinetContent) {
    if (signer_test::RunningUnderWine())
        GTEST_SKIP() << "Wine trusts any root and skips the cabinet's content digest";
    const WindowsOnlyCase cases[] = {
        {L"stranger_root.exe", DWORD(CERT_E_UNTRUSTEDROOT)},
        {L"changed_content.cab", DWORD(TRUST_E_BAD_DIGEST)},
    };
    for (const WindowsOnlyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file);
        EXPECT_FALSE(VerifyFileSigner(FixturePath(c.file).c_str()));
        EXPECT_EQ(c.error, ::GetLastError());
    }
}

}  // namespace
