#include <gtest/gtest.h>

#include "qen_lib/signer/signer_certificate.h"

#include "signer_fixtures.h"

using signer_test::LoadFixtureCert;

namespace {

struct UsageCase {
    const wchar_t* cert;
    bool expected;
};

TEST(HasCodeSigningUsage, AcceptsOnlyTheExactCodeSigningPurpose) {
    const UsageCase cases[] = {
        {L"ok_ltd_dot", true},
        {L"ok_more_usages", true},  // server, code signing and mail
        {L"no_usage", false},       // no extended-key-usage extension
        {L"other_usage", false},    // server and client authentication only
        {L"longer_usage", false},   // 1.3.6.1.5.5.7.3.3.1 begins with the same bytes
    };
    for (const UsageCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cert);
        const win::CertContext cert = LoadFixtureCert(c.cert);
        ASSERT_TRUE(cert);
        EXPECT_EQ(c.expected, HasCodeSigningUsage(cert.get()));
    }
}

struct NameCase {
    const wchar_t* cert;
    int kind;
    bool organization;
    bool commonName;
};

TEST(IsSignerName, TestsOrganisationAndCommonNameEachAgainstTheNamesOfTheKind) {
    const NameCase cases[] = {
        {L"ok_ltd_dot", SIGNER_KIND_MAKER, true, true},   // "Brisolt, LTD."
        {L"ok_no_space", SIGNER_KIND_MAKER, true, true},  // "Brisolt,LTD."
        {L"ok_mixed", SIGNER_KIND_MAKER, true, true},     // O "Brisolt, Ltd.", CN "Brisolt,LTD."
        {L"org_case", SIGNER_KIND_MAKER, false, true},    // O "BRISOLT, LTD."
        {L"org_no_stop", SIGNER_KIND_MAKER, false, true}, // O "Brisolt, LTD"
        {L"cn_other", SIGNER_KIND_MAKER, true, false},    // CN "Brisolt Setup"
        {L"aux_app", SIGNER_KIND_MAKER, false, false},
        {L"aux_app", SIGNER_KIND_AUX_APP, true, true},
        {L"ok_ltd_dot", SIGNER_KIND_AUX_APP, false, false},
        {L"ok_ltd_dot", 2, false, false},
        {L"aux_app", -1, false, false},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cert << " kind " << c.kind);
        const win::CertContext cert = LoadFixtureCert(c.cert);
        ASSERT_TRUE(cert);
        EXPECT_EQ(c.organization, IsSignerName(cert.get(), szOID_ORGANIZATION_NAME, c.kind));
        EXPECT_EQ(c.commonName, IsSignerName(cert.get(), szOID_COMMON_NAME, c.kind));
    }
}

TEST(IsSignerName, MakerIsTheDefaultKind) {
    const win::CertContext maker = LoadFixtureCert(L"ok_no_space");
    const win::CertContext aux = LoadFixtureCert(L"aux_app");
    ASSERT_TRUE(maker && aux);
    EXPECT_TRUE(IsSignerName(maker.get(), szOID_ORGANIZATION_NAME));
    EXPECT_FALSE(IsSignerName(aux.get(), szOID_ORGANIZATION_NAME));
}

TEST(IsSignerCountryJP, RequiresTheCountryJapan) {
    const UsageCase cases[] = {
        {L"ok_ltd_dot", true},
        {L"aux_app", true},
        {L"no_country", false},
        {L"country_us", false},
    };
    for (const UsageCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cert);
        const win::CertContext cert = LoadFixtureCert(c.cert);
        ASSERT_TRUE(cert);
        EXPECT_EQ(c.expected, IsSignerCountryJP(cert.get()));
    }
}

}  // namespace
