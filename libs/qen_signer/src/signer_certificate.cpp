#include "qen_lib/signer/signer_certificate.h"

#include <cstring>
#include <cwchar>
#include <iterator>

#include "win/handle.h"

namespace {

// Spellings of the maker's name that its signing certificates have carried.
const wchar_t* const MAKER_NAMES[] = {
    L"Brisolt, LTD.",
    L"Brisolt,LTD.",
    L"Brisolt, Ltd.",
};

// The publisher of the auxiliary application signs its setup and MSI package.
const wchar_t* const AUX_APP_NAMES[] = {
    L"Obla, Inc.",
};

// One more than the longest name a subject attribute may hold (256).
const DWORD NAME_BUFFER_CHARS = 257;

bool HasSubjectAttribute(PCCERT_CONTEXT cert, LPCSTR attrOid, const wchar_t* const* first,
                         const wchar_t* const* last) {
    wchar_t text[NAME_BUFFER_CHARS] = {};
    if (::CertGetNameStringW(cert, CERT_NAME_ATTR_TYPE, 0, const_cast<char*>(attrOid), text,
                             NAME_BUFFER_CHARS) == 0)
        return false;
    for (; first != last; ++first)
        if (std::wcscmp(text, *first) == 0) return true;
    return false;
}

}  // namespace

bool HasCodeSigningUsage(PCCERT_CONTEXT cert) {
    const PCERT_INFO info = cert->pCertInfo;
    const PCERT_EXTENSION ext =
        ::CertFindExtension(szOID_ENHANCED_KEY_USAGE, info->cExtension, info->rgExtension);
    if (!ext) return false;
    // Decode the list and compare whole identifiers: a byte search would also
    // accept a longer purpose that merely begins with the code-signing one.
    win::LocalMemory decoded;
    DWORD size = 0;
    if (!::CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ENHANCED_KEY_USAGE, ext->Value.pbData,
                               ext->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, decoded.put(),
                               &size))
        return false;
    const auto* usage = static_cast<const CERT_ENHKEY_USAGE*>(decoded.get());
    for (DWORD i = 0; i < usage->cUsageIdentifier; ++i)
        if (std::strcmp(usage->rgpszUsageIdentifier[i], szOID_PKIX_KP_CODE_SIGNING) == 0)
            return true;
    return false;
}

bool IsSignerName(PCCERT_CONTEXT cert, LPCSTR attrOid, int signerKind) {
    switch (signerKind) {
    case SIGNER_KIND_MAKER:
        return HasSubjectAttribute(cert, attrOid, std::begin(MAKER_NAMES), std::end(MAKER_NAMES));
    case SIGNER_KIND_AUX_APP:
        return HasSubjectAttribute(cert, attrOid, std::begin(AUX_APP_NAMES),
                                   std::end(AUX_APP_NAMES));
    default:
        return false;
    }
}

bool IsSignerCountryJP(PCCERT_CONTEXT cert) {
    static const wchar_t* const JAPAN[] = {L"JP"};
    return HasSubjectAttribute(cert, szOID_COUNTRY_NAME, std::begin(JAPAN), std::end(JAPAN));
}

bool IsAcceptedSigner(PCCERT_CONTEXT cert, int signerKind) {
    // Every test runs, so a debugger sees all four answers.
    const bool usage = HasCodeSigningUsage(cert);
    const bool organization = IsSignerName(cert, szOID_ORGANIZATION_NAME, signerKind);
    const bool commonName = IsSignerName(cert, szOID_COMMON_NAME, signerKind);
    const bool country = IsSignerCountryJP(cert);
    return usage && organization && commonName && country;
}
