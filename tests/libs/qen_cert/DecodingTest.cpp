// Every certificate of the fixtures and of Debian's root store, decoded by
// us and compared with what `openssl x509 -text` reported for the same file.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "qen_lib/cert/Cert.h"
#include "qen_lib/cert/constants.h"
#include "qen_lib/crypto/sha256.h"
#include "qen_lib/port/WinNativeCert.h"

#include "cert_fixtures.h"

using namespace qen_lib::port;
using cert_test::Expected;
using cert_test::FromUtf8;
using cert_test::Hex;
using qen_lib::cert::Cert;

namespace {

struct Decoded {
    const Expected* expected;
    Cert cert;
};

const std::vector<Decoded>& Certificates() {
    static const std::vector<Decoded> all = [] {
        std::vector<Decoded> result;
        static const std::vector<Expected> expectations = cert_test::LoadExpectations();
        for (const Expected& expected : expectations) {
            Decoded decoded{&expected, Cert()};
            decoded.cert.load(cert_test::WindowsPath(expected.file));
            result.push_back(std::move(decoded));
        }
        return result;
    }();
    return all;
}

// Runs check(expected, native) for every certificate, traced by its file.
template <class Check>
void ForEachCertificate(Check check) {
    for (const Decoded& decoded : Certificates()) {
        SCOPED_TRACE(decoded.expected->file);
        check(*decoded.expected, decoded.cert.native());
    }
}

// Wine decodes neither a subject alternative name that holds a registered
// ID nor distribution points named relative to their CRL issuer: it drops
// the whole extension. This certificate shows both on Windows only.
const char WINDOWS_ONLY_NAMES[] = "/windows_only.der";

bool OnlyWindowsDecodes(const Expected& e) {
    const std::string& f = e.file;
    const size_t n = sizeof(WINDOWS_ONLY_NAMES) - 1;
    return cert_test::RunningUnderWine() && f.size() >= n && f.compare(f.size() - n, n, WINDOWS_ONLY_NAMES) == 0;
}

int ToInt(const std::string& text) { return std::stoi(text); }

std::vector<unsigned char> ToBytes(const qen_lib::ByteBuffer& buffer) {
    return std::vector<unsigned char>(buffer.data(), buffer.data() + buffer.size());
}

TEST(Decoding, LoadsEveryCertificateWithItsDigests) {
    // The fixtures and well over a hundred system roots.
    ASSERT_GT(Certificates().size(), 100u);
    for (const Decoded& decoded : Certificates()) {
        SCOPED_TRACE(decoded.expected->file);
        ASSERT_TRUE(decoded.cert.is_loaded());
        const Expected& e = *decoded.expected;
        EXPECT_EQ(e.one("file_sha1").at(0), Hex(ToBytes(decoded.cert.digest(qen_lib::cert::SHA1_NAME))));
        EXPECT_EQ(e.one("file_sha256").at(0),
                  Hex(ToBytes(decoded.cert.digest(qen_lib::cert::SHA256_NAME))));
        // The DER bytes, also for a certificate read from Base64 text.
        const Bytes der = decoded.cert.native().get_encoded();
        std::vector<unsigned char> sha256(SHA256_DIGEST_SIZE);
        sha256_digest(sha256.data(), der.data(), der.size());
        EXPECT_EQ(e.one("der_sha256").at(0), Hex(sha256));
    }
}

TEST(Decoding, SerialNumber) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        if (!e.has("serial")) return;  // negative serials are printed differently
        const auto serial = cert.get_serial_number();
        ASSERT_TRUE(serial);
        EXPECT_EQ(FromUtf8(e.one("serial").at(0)), serial->to_string());
    });
}

std::vector<NameInfo::Rdn> ExpectedRdns(const Expected& e, const std::string& key) {
    std::vector<NameInfo::Rdn> rdns;
    for (const auto& fields : e.all(key)) {
        NameInfo::Rdn rdn;
        for (size_t i = 0; i + 1 < fields.size(); i += 2)
            rdn.emplace_back(FromUtf8(fields[i]), FromUtf8(fields[i + 1]));
        rdns.push_back(rdn);
    }
    return rdns;
}

// The X.500 text names the RDNs last first: each value is found after the
// values of the RDNs encoded after it.
void ExpectReversedValues(const std::vector<NameInfo::Rdn>& rdns, const std::wstring& text) {
    size_t at = 0;
    for (auto rdn = rdns.rbegin(); rdn != rdns.rend(); ++rdn) {
        for (const NameInfo::Attribute& attribute : *rdn) {
            const size_t found = text.find(attribute.second, at);
            EXPECT_NE(std::wstring::npos, found) << "value " << testing::PrintToString(attribute.second)
                                                 << " in " << testing::PrintToString(text);
            if (found != std::wstring::npos) at = found + attribute.second.size();
        }
    }
}

TEST(Decoding, IssuerAndSubjectNames) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        const NameInfo subject = cert.get_subject_name();
        EXPECT_EQ(ExpectedRdns(e, "subject_rdn"), subject.rdns);
        EXPECT_EQ(cert.get_subject(), subject.get_text());
        ExpectReversedValues(ExpectedRdns(e, "subject_rdn"), cert.get_subject());
        ExpectReversedValues(ExpectedRdns(e, "issuer_rdn"), cert.get_issuer());
    });
}

CertTime Shifted(const std::vector<std::string>& f, LONGLONG seconds) {
    SYSTEMTIME time = {WORD(ToInt(f.at(0))), WORD(ToInt(f.at(1))), 0, WORD(ToInt(f.at(2))),
                       WORD(ToInt(f.at(3))), WORD(ToInt(f.at(4))), WORD(ToInt(f.at(5))), 0};
    FILETIME file;
    ::SystemTimeToFileTime(&time, &file);
    ULARGE_INTEGER ticks = {{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += seconds * 10000000LL;
    file = {ticks.LowPart, ticks.HighPart};
    ::FileTimeToSystemTime(&file, &time);
    return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
            time.wMilliseconds};
}

TEST(Decoding, ValidityDatesAndBounds) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        EXPECT_EQ(FromUtf8(e.one("date_not_before").at(0)), cert.get_not_before(false));
        EXPECT_EQ(FromUtf8(e.one("date_not_before").at(1)), cert.get_not_before(true));
        EXPECT_EQ(FromUtf8(e.one("date_not_after").at(0)), cert.get_not_after(false));
        EXPECT_EQ(FromUtf8(e.one("date_not_after").at(1)), cert.get_not_after(true));
        // Both bounds are inclusive.
        EXPECT_EQ(1, cert.check_validity(Shifted(e.one("not_before"), -1)));
        EXPECT_EQ(0, cert.check_validity(Shifted(e.one("not_before"), 0)));
        EXPECT_EQ(0, cert.check_validity(Shifted(e.one("not_after"), 0)));
        EXPECT_EQ(2, cert.check_validity(Shifted(e.one("not_after"), 1)));
    });
}

TEST(Decoding, AlgorithmsAndPublicKey) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        EXPECT_EQ(FromUtf8(e.one("signature_algorithm").at(0)),
                  cert.get_signature_algorithm().algorithm);
        const PublicKeyInfo key = cert.get_public_key_info();
        EXPECT_EQ(FromUtf8(e.one("key_algorithm").at(0)), key.algorithm.algorithm);
        EXPECT_FALSE(key.publicKey.empty());
        // Wine gives no length for EC keys, so only RSA lengths are expected
        // here; Windows also reports 256 or 384 for the EC roots.
        if (e.has("key_bits")) {
            EXPECT_EQ(std::uint32_t(ToInt(e.one("key_bits").at(0))), key.keyLength);
        }
    });
}

TEST(Decoding, KeyIdentifiers) {
    // Without the extension the identifier is the SHA-1 of the public key
    // info, which the expectations computed from the certificate's bytes.
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        EXPECT_EQ(e.one("key_id").at(0), Hex(cert.get_subject_key_id()));
        EXPECT_EQ(e.one("authority_key_id").at(0), Hex(cert.get_authority_key_id()));
    });
}

TEST(Decoding, KeyUsageAndBasicConstraints) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        EXPECT_EQ(KeyUsage(ToInt(e.one("key_usage").at(0))), cert.get_key_usage());
        const BasicConstraints basic = cert.get_basic_constraints();
        EXPECT_EQ(e.has("basic"), basic.present);
        EXPECT_EQ(e.has("basic") && e.one("basic").at(0) == "1", basic.isCA);
        EXPECT_EQ(e.has("basic") ? ToInt(e.one("basic").at(1)) : -1, basic.pathLenConstraint);
    });
}

TEST(Decoding, Policies) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        const CertificatePolicies policies = cert.get_policies();
        EXPECT_EQ(e.one("policies_critical").at(0) == "1", policies.critical);
        const auto expected = e.all("policy");
        ASSERT_EQ(expected.size(), policies.policies.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i].at(0), policies.policies[i].policyIdentifier);
            std::vector<std::string> types;
            for (const PolicyQualifierInfo& q : policies.policies[i].qualifiers) {
                types.push_back(std::to_string(q.type));
                EXPECT_FALSE(q.qualifier.empty());
            }
            EXPECT_EQ(std::vector<std::string>(expected[i].begin() + 1, expected[i].end()), types);
        }

        std::vector<std::vector<std::string>> mappings;
        for (const PolicyMapping& m : cert.get_policy_mappings())
            mappings.push_back({m.issuerDomainPolicy, m.subjectDomainPolicy});
        EXPECT_EQ(e.all("policy_mapping"), mappings);

        const PolicyConstraints constraints = cert.get_policy_constraints();
        const auto c = e.has("policy_constraints") ? e.one("policy_constraints")
                                                   : std::vector<std::string>{"-1", "-1"};
        EXPECT_EQ(ToInt(c.at(0)), constraints.requireExplicitPolicy);
        EXPECT_EQ(ToInt(c.at(1)), constraints.inhibitPolicyMapping);
    });
}

std::vector<std::string> Described(const GeneralName& name) {
    std::string value;
    for (wchar_t c : name.value) value += char(c);  // the texts here are ASCII
    return {std::to_string(name.type), value};
}

std::vector<std::vector<std::string>> Described(const std::vector<GeneralSubtree>& subtrees) {
    std::vector<std::vector<std::string>> result;
    for (const GeneralSubtree& subtree : subtrees) {
        EXPECT_EQ(0, subtree.minimum);
        EXPECT_EQ(-1, subtree.maximum);
        result.push_back(Described(subtree.base));
    }
    return result;
}

TEST(Decoding, NameConstraints) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        const NameConstraints constraints = cert.get_name_constraints();
        EXPECT_EQ(e.all("permitted"), Described(constraints.permittedSubtrees));
        EXPECT_EQ(e.all("excluded"), Described(constraints.excludedSubtrees));
    });
}

// The distribution points as the expectations file lists them.
std::vector<std::vector<std::string>> Described(const std::vector<DistributionPoint>& points) {
    std::vector<std::vector<std::string>> lines;
    for (const DistributionPoint& point : points) {
        lines.push_back({"crl_point"});
        if (point.name) {
            EXPECT_EQ(0, point.name->nameChoice);
            for (const GeneralName& name : point.name->fullName) {
                lines.push_back(Described(name));
                lines.back().insert(lines.back().begin(), "crl_full_name");
            }
        }
        if (point.reasons)
            lines.push_back({"crl_reasons", Hex(point.reasons->bytes),
                             std::to_string(point.reasons->unusedBits)});
        if (point.crlIssuer) {
            for (const GeneralName& name : *point.crlIssuer) {
                lines.push_back(Described(name));
                lines.back().insert(lines.back().begin(), "crl_issuer");
            }
        }
    }
    return lines;
}

TEST(Decoding, CrlDistributionPoints) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        if (OnlyWindowsDecodes(e)) return;
        std::vector<std::vector<std::string>> expected;
        for (const cert_test::Line& line : e.lines) {
            if (line.key.rfind("crl_", 0) != 0) continue;
            expected.push_back(line.fields);
            expected.back().insert(expected.back().begin(), line.key);
        }
        EXPECT_EQ(expected, Described(cert.get_crl_distribution_points()));
    });
}

TEST(Decoding, LastDirectoryNameOfTheAlternativeName) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        if (OnlyWindowsDecodes(e)) return;
        const NameInfo name = cert.get_alt_directory_name_infos();
        std::vector<NameInfo::Rdn> rdns;
        for (const auto& rdn : ExpectedRdns(e, "alt_directory_rdn")) rdns.push_back(rdn);
        EXPECT_EQ(rdns, name.rdns);
        EXPECT_EQ(name.get_text(), cert.get_alt_directory_names());
        ExpectReversedValues(rdns, cert.get_alt_directory_names());
    });
}

TEST(Decoding, WindowsOnlyRegisteredIdAndRelativeName) {
    if (cert_test::RunningUnderWine())
        GTEST_SKIP() << "Wine drops these extensions whole; the tests above compare them on Windows";
    const auto cert = cert_test::LoadNative(L"windows_only.der");
    EXPECT_EQ(L"CN=First, O=First Directory, C=JP", cert->get_alt_directory_names());
    const auto points = cert->get_crl_distribution_points();
    ASSERT_EQ(2u, points.size());
    ASSERT_TRUE(points[0].crlIssuer);
    EXPECT_EQ(GENERAL_NAME_REGISTERED_ID, points[0].crlIssuer->at(0).type);
    EXPECT_EQ(L"1.2.392.200091.8", points[0].crlIssuer->at(0).value);
    EXPECT_FALSE(points[1].name);  // relative to the CRL issuer
}

TEST(Decoding, CriticalExtensions) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        std::vector<std::string> known;
        for (const auto& fields : e.all("critical")) known.push_back(fields.at(0));
        EXPECT_FALSE(cert.has_unknown_critical_extensions(known));
        if (known.empty()) return;
        known.pop_back();
        EXPECT_TRUE(cert.has_unknown_critical_extensions(known));
    });
}

TEST(Decoding, SelfSignedCertificatesVerifyTheirOwnSignature) {
    ForEachCertificate([](const Expected& e, const NativeCert& cert) {
        if (e.all("issuer_rdn") != e.all("subject_rdn")) return;
        EXPECT_TRUE(cert.verify_signature(cert));
    });
}

}  // namespace
