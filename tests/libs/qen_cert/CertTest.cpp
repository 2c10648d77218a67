#include <gtest/gtest.h>

#include <typeinfo>

#include "qen_lib/cert/Cert.h"
#include "qen_lib/cert/constants.h"

#include "cert_fixtures.h"

using cert_test::FixturePath;
using qen_lib::cert::Cert;

namespace {

TEST(Cert, FileOfTheLargestSizeLoadsAndOneByteMoreDoesNot) {
    Cert max;
    EXPECT_TRUE(max.load(FixturePath(L"max_size.der")));
    EXPECT_EQ(10240u, max.der().size());
    EXPECT_TRUE(max.is_loaded());

    Cert over;
    EXPECT_FALSE(over.load(FixturePath(L"over_size.der")));
    EXPECT_EQ(0u, over.der().size());
    EXPECT_FALSE(over.is_loaded());
}

TEST(Cert, BytesThatAreNoCertificateAreKeptButNotLoaded) {
    Cert cert;
    EXPECT_FALSE(cert.load(FixturePath(L"random.bin")));
    EXPECT_EQ(100u, cert.der().size());
    EXPECT_FALSE(cert.is_loaded());
}

TEST(Cert, UnreadableFileLeavesBytesAndCertificateAsTheyWere) {
    Cert cert;
    ASSERT_TRUE(cert.load(FixturePath(L"rsa_leaf.der")));
    const std::wstring sha1 = cert.digest(qen_lib::cert::SHA1_NAME).to_hex(L"");
    const std::wstring subject = cert.native().get_subject();
    for (const wchar_t* unreadable : {L"missing.der", L"over_size.der"}) {
        SCOPED_TRACE(testing::Message() << unreadable);
        EXPECT_FALSE(cert.load(FixturePath(unreadable)));
        EXPECT_TRUE(cert.is_loaded());
        EXPECT_EQ(sha1, cert.digest(qen_lib::cert::SHA1_NAME).to_hex(L""));
        EXPECT_EQ(subject, cert.native().get_subject());
    }
}

struct DigestCase {
    const wchar_t* name;
    std::uint32_t size;
};

TEST(Cert, DigestIsSha256OnlyForItsExactName) {
    Cert cert;
    ASSERT_TRUE(cert.load(FixturePath(L"rsa_leaf.der")));
    const DigestCase cases[] = {{L"SHA256", 32}, {L"SHA1", 20}, {L"sha256", 20}, {L"", 20},
                                {L"SHA-256", 20}};
    const qen_lib::ByteBuffer sha1 = cert.digest(qen_lib::cert::SHA1_NAME);
    for (const DigestCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        const qen_lib::ByteBuffer digest = cert.digest(c.name);
        ASSERT_EQ(c.size, digest.size());
        if (c.size == 20) {
            EXPECT_EQ(sha1.to_hex(L""), digest.to_hex(L""));
        }
    }
}

TEST(Cert, CopyOfAnEmptyCertIsEmpty) {
    const Cert empty;
    const Cert copy(empty);
    EXPECT_EQ(0u, copy.der().size());
    EXPECT_FALSE(copy.is_loaded());
    EXPECT_EQ(typeid(qen_lib::port::NativeCert), typeid(copy.native()));
}

TEST(Cert, CopiesAreDeepAndOutliveTheirSource) {
    auto source = std::make_unique<Cert>();
    ASSERT_TRUE(source->load(FixturePath(L"rsa_leaf.der")));
    const std::wstring subject = source->native().get_subject();
    const std::wstring bytes = source->der().to_hex(L"");

    Cert copy(*source);
    Cert assigned;
    assigned = *source;
    EXPECT_NE(source->der().data(), copy.der().data());
    source.reset();
    for (const Cert* cert : {&copy, &assigned}) {
        EXPECT_TRUE(cert->is_loaded());
        EXPECT_EQ(subject, cert->native().get_subject());
        EXPECT_EQ(bytes, cert->der().to_hex(L""));
    }
}

TEST(Cert, CopyOfUndecodableBytesKeepsThemUnloaded) {
    Cert source;
    source.load(FixturePath(L"random.bin"));
    const Cert copy(source);
    EXPECT_EQ(source.der().to_hex(L""), copy.der().to_hex(L""));
    EXPECT_FALSE(copy.is_loaded());
}

TEST(Cert, MovedFromCertIsSafeToUse) {
    Cert source;
    ASSERT_TRUE(source.load(FixturePath(L"rsa_leaf.der")));
    const Cert moved(std::move(source));
    EXPECT_TRUE(moved.is_loaded());

    // A moved-from Cert answers as one without a certificate, never crashes.
    EXPECT_FALSE(source.is_loaded());
    EXPECT_EQ(L"", source.native().get_subject());
    EXPECT_TRUE(source.native().get_subject_key_id().empty());
    EXPECT_EQ(20u, source.digest(qen_lib::cert::SHA1_NAME).size());
    const Cert copyOfMoved(source);
    EXPECT_FALSE(copyOfMoved.is_loaded());
    EXPECT_TRUE(source.load(FixturePath(L"ec_leaf.der")));
}

}  // namespace
