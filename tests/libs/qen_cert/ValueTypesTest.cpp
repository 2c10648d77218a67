#include <gtest/gtest.h>

#include "qen_lib/port/bytes.h"
#include "qen_lib/port/distribution_point.h"
#include "qen_lib/port/policies.h"

using namespace qen_lib::port;

namespace {

TEST(JoinHex, LowercaseDigitsWithTheSeparatorBetweenBytesOnly) {
    EXPECT_EQ(L"0a_ff_00", join_hex({0x0A, 0xFF, 0x00}, L"_"));
    EXPECT_EQ(L"7f", join_hex({0x7F}, L"_"));
    EXPECT_EQ(L"", join_hex({}, L"_"));
    EXPECT_EQ(L"01::ab", join_hex({0x01, 0xAB}, L"::"));
}

struct QualifierCase {
    const char* oid;
    std::int32_t type;
};

TEST(PolicyQualifierInfo, TypeFollowsTheWholeOid) {
    const QualifierCase cases[] = {
        {"1.3.6.1.5.5.7.2.1", POLICY_QUALIFIER_CPS},
        {"1.3.6.1.5.5.7.2.2", POLICY_QUALIFIER_USER_NOTICE},
        {"1.3.6.1.5.5.7.2.1.", POLICY_QUALIFIER_OTHER},
        {"1.3.6.1.5.5.7.2.", POLICY_QUALIFIER_OTHER},
        {"1.3.6.1.5.5.7.2.3", POLICY_QUALIFIER_OTHER},
        {"", POLICY_QUALIFIER_OTHER},
    };
    for (const QualifierCase& c : cases) {
        SCOPED_TRACE(c.oid);
        const PolicyQualifierInfo info(c.oid, {0x16, 0x01, 0x41});
        EXPECT_EQ(c.type, info.type);
        EXPECT_EQ(Bytes({0x16, 0x01, 0x41}), info.qualifier);
        EXPECT_EQ(L"", info.cpsUri);
        EXPECT_TRUE(info.userNotice.noticeNumbers.empty());
    }
}

TEST(DistributionPoint, CopiesShareTheirPartsWithTheSource) {
    auto source = std::make_unique<DistributionPoint>();
    source->name = std::make_shared<DistributionPointName>();
    source->name->fullName.emplace_back(L"http://crl.example.jp/a.crl", GENERAL_NAME_URI);
    source->reasons = std::make_shared<ReasonFlags>();
    source->reasons->bytes = {0x60};
    source->reasons->unusedBits = 5;
    source->crlIssuer = std::make_shared<GeneralNames>(1, GeneralName(L"ca.example.jp", GENERAL_NAME_DNS));
    const DistributionPointName* name = source->name.get();

    const DistributionPoint copy = *source;
    source.reset();
    ASSERT_EQ(name, copy.name.get());
    EXPECT_EQ(L"http://crl.example.jp/a.crl", copy.name->fullName.at(0).value);
    EXPECT_EQ(5u, copy.reasons->unusedBits);
    EXPECT_EQ(L"ca.example.jp", copy.crlIssuer->at(0).value);
}

TEST(GeneralName, OnlyDirectoryNamesCarryAName) {
    const GeneralName dns(L"www.example.jp", GENERAL_NAME_DNS);
    EXPECT_EQ(GENERAL_NAME_DNS, dns.type);
    EXPECT_EQ(L"", dns.name.get_text());
    EXPECT_TRUE(dns.name.rdns.empty());
}

}  // namespace
