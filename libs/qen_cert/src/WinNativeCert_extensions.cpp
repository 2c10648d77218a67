// Raw extensions, the critical-extension test, CRL distribution points, key
// usage and basic constraints.
#include "qen_lib/port/WinNativeCert.h"

#include <algorithm>

#include "qen_lib/log.h"

#include "platform_decode.h"

namespace qen_lib::port {

Bytes WinNativeCert::get_extension(const std::string& oid) const {
    if (!is_valid()) return Bytes();
    const CERT_INFO* info = m_context.get()->pCertInfo;
    const CERT_EXTENSION* ext = ::CertFindExtension(oid.c_str(), info->cExtension, info->rgExtension);
    return ext ? detail::copy_bytes(ext->Value.pbData, ext->Value.cbData) : Bytes();
}

bool WinNativeCert::has_unknown_critical_extensions(const std::vector<std::string>& known) const {
    if (!is_valid()) return false;
    const CERT_INFO* info = m_context.get()->pCertInfo;
    for (DWORD i = 0; i < info->cExtension; ++i) {
        const CERT_EXTENSION& ext = info->rgExtension[i];
        if (!ext.fCritical) continue;
        if (std::find(known.begin(), known.end(), ext.pszObjId) != known.end()) continue;
        log::report(L"qen_lib::port::WinNativeCert::has_unknown_critical_extensions", 2450,
                    L"certificate contains unknown critical extension: %ls",
                    detail::widen_oid(ext.pszObjId).c_str());
        return true;
    }
    return false;
}

namespace {

DistributionPoint distribution_point_of(const CRL_DIST_POINT& point) {
    DistributionPoint result;
    const CRL_DIST_POINT_NAME& name = point.DistPointName;
    // Only full names; a name relative to the CRL issuer is left out.
    if (name.dwDistPointNameChoice == CRL_DIST_POINT_FULL_NAME && name.FullName.cAltEntry &&
        name.FullName.rgAltEntry) {
        result.name = std::make_shared<DistributionPointName>();
        result.name->fullName = detail::general_names_of(name.FullName);
    }
    if (point.ReasonFlags.cbData && point.ReasonFlags.pbData) {
        result.reasons = std::make_shared<ReasonFlags>();
        result.reasons->bytes = detail::copy_bytes(point.ReasonFlags.pbData, point.ReasonFlags.cbData);
        result.reasons->unusedBits = point.ReasonFlags.cUnusedBits;
    }
    if (point.CRLIssuer.cAltEntry && point.CRLIssuer.rgAltEntry)
        result.crlIssuer = std::make_shared<GeneralNames>(detail::general_names_of(point.CRLIssuer));
    return result;
}

}  // namespace

std::vector<DistributionPoint> WinNativeCert::get_crl_distribution_points() const {
    std::vector<DistributionPoint> result;
    detail::with_extension<CRL_DIST_POINTS_INFO>(
        m_context.get(), szOID_CRL_DIST_POINTS, [&result](const CRL_DIST_POINTS_INFO& points, bool) {
            for (DWORD i = 0; i < points.cDistPoint; ++i)
                result.push_back(distribution_point_of(points.rgDistPoint[i]));
        });
    return result;
}

KeyUsage WinNativeCert::get_key_usage() const {
    if (!is_valid()) return 0;
    BYTE bits[2] = {};
    if (!::CertGetIntendedKeyUsage(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                   m_context.get()->pCertInfo, bits, sizeof(bits)))
        return 0;
    return (KeyUsage(bits[0]) << 8) + bits[1];
}

BasicConstraints WinNativeCert::get_basic_constraints() const {
    BasicConstraints result;
    detail::with_extension<CERT_BASIC_CONSTRAINTS2_INFO>(
        m_context.get(), szOID_BASIC_CONSTRAINTS2,
        [&result](const CERT_BASIC_CONSTRAINTS2_INFO& info, bool) {
            result.present = true;
            result.isCA = info.fCA != FALSE;
            if (info.fPathLenConstraint)
                result.pathLenConstraint = std::int32_t(info.dwPathLenConstraint);
        });
    return result;
}

}  // namespace qen_lib::port
