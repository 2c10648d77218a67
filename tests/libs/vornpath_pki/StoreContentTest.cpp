// What the store writes, byte for byte against the independent producer's
// folders: a new store, the store filled with Debian's root certificates,
// and that store after a trust change and a removal.
#include <windows.h>

#include <gtest/gtest.h>

#include "store_fixtures.h"
#include "support/temp_folder.h"
#include "vornpath/pki/FileBaseCertificateStore.h"
#include "vornpath/pki/store_result.h"

using namespace vornpath::pki;
using namespace store_test;

namespace {

class StoreContentTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)); }

    testing_support::TempFolder temp;
    const std::wstring folder = temp / L"cs1";
};

TEST_F(StoreContentTest, ANewStoreIsTheProducersEmptyStore) {
    FileBaseCertificateStore store(folder);
    ASSERT_EQ(STORE_OK, store.Setup(true));
    EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(L"empty\\cs1"), folder));

    EXPECT_EQ(STORE_INDEX_EXISTS, FileBaseCertificateStore(folder).Setup(true));
    EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(L"empty\\cs1"), folder)) << "nothing written";

    int result = -1;
    const auto reopened = CreateFileBaseCertificateStore(folder, result);
    ASSERT_EQ(STORE_OK, result);
    EXPECT_TRUE(reopened->GetAllCerts(result).empty());
    EXPECT_EQ(STORE_OK, result);
}

TEST_F(StoreContentTest, FilledAndEditedStoresAreTheProducers) {
    const std::vector<Root> roots = Roots();
    ASSERT_GE(roots.size(), 3u);
    FileBaseCertificateStore store(folder);
    ASSERT_EQ(STORE_OK, store.Setup(true));
    for (const Root& root : roots) ASSERT_EQ(STORE_OK, store.AddCert(LoadRoot(root.file), root.trusted)) << root.file;
    EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(L"filled\\cs1"), folder));

    int result = -1;
    const auto reopened = CreateFileBaseCertificateStore(folder, result);
    ASSERT_EQ(STORE_OK, result);
    EXPECT_EQ(roots.size(), reopened->GetAllCerts(result).size());
    EXPECT_EQ(STORE_OK, result);

    // Through the reopened store: it reloads what the first one wrote.
    EXPECT_EQ(STORE_OK, reopened->AddCert(LoadRoot(roots[0].file), !roots[0].trusted));
    EXPECT_EQ(STORE_OK, reopened->RemoveCert(LoadRoot(roots[1].file)));
    EXPECT_EQ(std::vector<std::wstring>(), DifferingFiles(Fixture(L"edited\\cs1"), folder));
}

}  // namespace
