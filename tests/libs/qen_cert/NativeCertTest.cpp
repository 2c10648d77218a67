#include <gtest/gtest.h>

#include <typeinfo>

#include "qen_lib/port/WinNativeCert.h"
#include "support/log_seam.h"
#include "support/temp_folder.h"

#include "cert_fixtures.h"

using namespace qen_lib::port;
using cert_test::FixtureBytes;
using cert_test::LoadNative;

namespace {

// The log switched on for one test, in a folder of its own.
class Logged : public testing::Test {
protected:
    testing_support::TempFolder m_folder;
    qen_lib::log::testing::LogSwitchedOn m_log{m_folder / L"log.txt"};
};

using MakeCert = Logged;

TEST_F(MakeCert, DerBytesGiveTheSameBytesBack) {
    const auto cert = LoadNative(L"full.der");
    ASSERT_TRUE(cert->is_valid());
    EXPECT_EQ(FixtureBytes(L"full.der"), cert->get_encoded());
    EXPECT_TRUE(m_log.messages().empty());
}

TEST_F(MakeCert, Base64TextGivesTheDerBytesAndLogsNothing) {
    const auto cert = LoadNative(L"full.pem");
    ASSERT_TRUE(cert->is_valid());
    EXPECT_EQ(FixtureBytes(L"full.der"), cert->get_encoded());
    EXPECT_TRUE(m_log.messages().empty());
}

struct BadInput {
    const wchar_t* file;  // null: no bytes at all
    const wchar_t* where;
    const wchar_t* message;
};

TEST_F(MakeCert, NotACertificateGivesAnInvalidObjectAndTwoWarnings) {
    const BadInput cases[] = {
        {nullptr, L"qen_lib::port::make_cert:1808", L"CryptStringToBinaryA failed(0x"},
        {L"random.bin", L"qen_lib::port::make_cert:1808", L"CryptStringToBinaryA failed(0x"},
        // Decoded, it would not fit in a certificate file.
        {L"too_long.pem", L"qen_lib::port::make_cert:1808", L"CryptStringToBinaryA failed(0x"},
        {L"not_a_cert.pem", L"qen_lib::port::make_cert:1804",
         L"CertCreateCertificateContext failed(0x"},
    };
    for (const BadInput& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.file ? c.file : L"(empty)"));
        const Bytes bytes = c.file ? FixtureBytes(c.file) : Bytes();
        const size_t before = m_log.messages().size();
        const auto cert = make_cert(bytes.data(), std::int32_t(bytes.size()));
        ASSERT_TRUE(cert);
        EXPECT_NE(nullptr, dynamic_cast<const WinNativeCert*>(cert.get()));
        EXPECT_FALSE(cert->is_valid());
        const auto messages = m_log.messages();
        ASSERT_EQ(before + 2, messages.size());
        EXPECT_EQ(c.where, messages[before]);
        EXPECT_EQ(0u, messages[before + 1].find(c.message)) << messages[before + 1];
    }
}

TEST(WinNativeCert, SerialNumberIsTheIntegersContentOctets) {
    // The serial number borrows from its certificate: keep them alive.
    const auto full = LoadNative(L"full.der");
    const auto five = LoadNative(L"serial_05.der");
    const auto fullSerial = full->get_serial_number();
    const auto fiveSerial = five->get_serial_number();
    ASSERT_TRUE(fullSerial && fiveSerial);
    EXPECT_EQ(L"008f1a", fullSerial->to_string());
    EXPECT_EQ(L"05", fiveSerial->to_string());
}

using WithoutCertificate = Logged;

TEST_F(WithoutCertificate, AnswersAsForAMissingCertificateAndLogsNothing) {
    const WinNativeCert none(nullptr);
    EXPECT_FALSE(none.is_valid());
    EXPECT_EQ(nullptr, none.get_serial_number());
    EXPECT_EQ(L"", none.get_issuer());
    EXPECT_EQ(L"", none.get_subject());
    EXPECT_TRUE(none.get_encoded().empty());
    EXPECT_EQ(L"", none.get_not_before(false));
    EXPECT_TRUE(none.get_subject_key_id().empty());
    EXPECT_FALSE(none.get_basic_constraints().present);
    EXPECT_EQ(-1, none.get_basic_constraints().pathLenConstraint);
    EXPECT_EQ(-1, none.get_policy_constraints().requireExplicitPolicy);
    // The interface's own answer is "valid"; a WinNativeCert without a
    // certificate says expired.
    const CertTime now = {2025, 6, 1, 12, 0, 0, 0};
    EXPECT_EQ(2, none.check_validity(now));
    EXPECT_EQ(0, NativeCert().check_validity(now));
    EXPECT_FALSE(none.verify_signature(*LoadNative(L"rsa_ca.der")));
    EXPECT_TRUE(m_log.messages().empty());
}

using Names = Logged;

TEST_F(Names, EmptySubjectIsLoggedLikeAFailure) {
    const auto cert = LoadNative(L"empty_subject.der");
    ASSERT_TRUE(cert->is_valid());
    EXPECT_EQ(L"CN=Velmo Test RSA Root, O=Velmo Test, C=JP", cert->get_issuer());
    EXPECT_TRUE(m_log.messages().empty());
    EXPECT_EQ(L"", cert->get_subject());
    const auto messages = m_log.messages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ(L"qen_lib::port::WinNativeCert::get_subject:1924", messages[0]);
    EXPECT_EQ(0u, messages[1].find(L"CertGetNameString failed(0x")) << messages[1];
}

TEST(WinNativeCert, CloneKeepsTheKindAndOutlivesItsSource) {
    const auto bare = NativeCert().clone();
    EXPECT_EQ(typeid(NativeCert), typeid(*bare));

    const auto invalid = WinNativeCert(nullptr).clone();
    EXPECT_EQ(typeid(WinNativeCert), typeid(*invalid));
    EXPECT_FALSE(invalid->is_valid());

    auto source = LoadNative(L"rsa_leaf.der");
    const auto copy = source->clone();
    source.reset();
    ASSERT_TRUE(copy->is_valid());
    EXPECT_EQ(FixtureBytes(L"rsa_leaf.der"), copy->get_encoded());
}

TEST(WinNativeCert, NamesReadLastRdnFirst) {
    const auto leaf = LoadNative(L"rsa_leaf.der");
    EXPECT_EQ(L"CN=RSA Leaf, O=Velmo Test, C=JP", leaf->get_subject());
    EXPECT_EQ(L"CN=Velmo Test RSA Root, O=Velmo Test, C=JP", leaf->get_issuer());
}

TEST(WinNativeCert, NumericRdnKeepsAnEmptyListAndTheText) {
    // Structured names are compared in full in the decoding tests.
    const NameInfo numeric = LoadNative(L"numeric_rdn.der")->get_subject_name();
    ASSERT_EQ(1u, numeric.rdns.size());
    EXPECT_TRUE(numeric.rdns[0].empty());
    EXPECT_NE(L"", numeric.get_text());
}

TEST(WinNativeCert, DatesInUtcAndLocalTime) {
    // Valid from 2024-02-29 23:30 UTC: already 1 March in Tokyo.
    const auto leap = LoadNative(L"feb29.der");
    EXPECT_EQ(L"2024/02/29", leap->get_not_before(false));
    EXPECT_EQ(L"2024/03/01", leap->get_not_before(true));
    const auto full = LoadNative(L"full.der");
    EXPECT_EQ(L"2024/03/01", full->get_not_before(false));
    EXPECT_EQ(L"2024/03/01", full->get_not_before(true));
}

TEST(WinNativeCert, ImpossibleTimeCountsAsExpired) {
    EXPECT_EQ(2, LoadNative(L"full.der")->check_validity({2030, 13, 1, 0, 0, 0, 0}));
    EXPECT_EQ(0, LoadNative(L"full.der")->check_validity({2030, 12, 1, 0, 0, 0, 0}));
}

TEST(WinNativeCert, AlternativeDirectoryNameIsTheLastEntry) {
    const std::wstring text = LoadNative(L"full.der")->get_alt_directory_names();
    EXPECT_EQ(L"CN=Second, OU=Second Unit, C=JP", text);
}

TEST(WinNativeCert, PolicyQualifiersKeepTheirEncoding) {
    const CertificatePolicies policies = LoadNative(L"full.der")->get_policies();
    EXPECT_TRUE(policies.critical);
    ASSERT_EQ(2u, policies.policies.size());
    const auto& qualifiers = policies.policies[0].qualifiers;
    ASSERT_EQ(2u, qualifiers.size());
    EXPECT_EQ(POLICY_QUALIFIER_CPS, qualifiers[0].type);
    const std::string uri = "http://www.example.jp/cps";
    Bytes ia5 = {0x16, static_cast<unsigned char>(uri.size())};
    ia5.insert(ia5.end(), uri.begin(), uri.end());
    EXPECT_EQ(ia5, qualifiers[0].qualifier);
    EXPECT_EQ(L"", qualifiers[0].cpsUri);
    EXPECT_EQ(POLICY_QUALIFIER_USER_NOTICE, qualifiers[1].type);
    EXPECT_TRUE(policies.policies[1].qualifiers.empty());
}

TEST(WinNativeCert, KeyUsageBitsAndRawExtension) {
    const auto full = LoadNative(L"full.der");
    EXPECT_EQ(0x8400u, full->get_key_usage());  // digitalSignature, keyCertSign
    // The keyUsage BIT STRING itself: bits 0 and 5 of 0x84, 2 unused.
    EXPECT_EQ(Bytes({0x03, 0x02, 0x02, 0x84}), full->get_extension("2.5.29.15"));
    EXPECT_TRUE(full->get_extension("2.5.29.99").empty());
}

using CriticalExtensions = Logged;

TEST_F(CriticalExtensions, UnknownOneIsLoggedAndEndsTheSearch) {
    const auto full = LoadNative(L"full.der");
    EXPECT_FALSE(full->has_unknown_critical_extensions(
        {"2.5.29.19", "2.5.29.15", "2.5.29.32", "2.5.29.30"}));
    EXPECT_TRUE(m_log.messages().empty());

    EXPECT_TRUE(full->has_unknown_critical_extensions({}));
    const std::vector<std::wstring> expected = {
        L"qen_lib::port::WinNativeCert::has_unknown_critical_extensions:2450",
        L"certificate contains unknown critical extension: 2.5.29.19"};
    EXPECT_EQ(expected, m_log.messages());
}

struct SignatureCase {
    const wchar_t* subject;
    const wchar_t* issuer;
    bool verifies;
};

TEST(WinNativeCert, VerifiesRsaAndEcSignaturesWithTheIssuersKey) {
    const SignatureCase cases[] = {
        {L"rsa_leaf.der", L"rsa_ca.der", true},
        {L"ec_leaf.der", L"ec_ca.der", true},
        {L"full.der", L"rsa_ca.der", true},
        {L"rsa_ca.der", L"rsa_ca.der", true},
        {L"ec_ca.der", L"ec_ca.der", true},
        {L"rsa_leaf.der", L"ec_ca.der", false},
        {L"ec_leaf.der", L"rsa_ca.der", false},
        {L"rsa_leaf.der", L"rsa_leaf.der", false},
        {L"rsa_ca.der", L"ec_ca.der", false},
    };
    for (const SignatureCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.subject << " by " << c.issuer);
        EXPECT_EQ(c.verifies, LoadNative(c.subject)->verify_signature(*LoadNative(c.issuer)));
    }
    EXPECT_FALSE(LoadNative(L"rsa_leaf.der")->verify_signature(WinNativeCert(nullptr)));
    EXPECT_THROW(LoadNative(L"rsa_leaf.der")->verify_signature(NativeCert()), std::bad_cast);
}

}  // namespace
