// Algorithms, the public key, key identifiers and the signature check.
#include "qen_lib/port/WinNativeCert.h"

#include "qen_lib/cert/constants.h"

#include "platform_decode.h"

namespace qen_lib::port {

namespace {

AlgorithmIdentifier algorithm_of(const CRYPT_ALGORITHM_IDENTIFIER& algorithm) {
    AlgorithmIdentifier result;
    result.algorithm = detail::widen_oid(algorithm.pszObjId);
    result.parameters = detail::copy_bytes(algorithm.Parameters.pbData, algorithm.Parameters.cbData);
    return result;
}

// Windows gives a certificate without a subject key identifier extension the
// SHA-1 of its encoded public key info; some platforms (Wine) give nothing.
Bytes public_key_id(CERT_PUBLIC_KEY_INFO& key) {
    BYTE digest[20];
    DWORD size = sizeof(digest);
    if (!::CryptHashPublicKeyInfo(0, CALG_SHA1, 0, X509_ASN_ENCODING, &key, digest, &size))
        return cert::EMPTY_BYTES;
    return Bytes(digest, digest + size);
}

}  // namespace

AlgorithmIdentifier WinNativeCert::get_signature_algorithm() const {
    if (!is_valid()) return AlgorithmIdentifier();
    return algorithm_of(m_context.get()->pCertInfo->SignatureAlgorithm);
}

PublicKeyInfo WinNativeCert::get_public_key_info() const {
    PublicKeyInfo result;
    if (!is_valid()) return result;
    CERT_PUBLIC_KEY_INFO& key = m_context.get()->pCertInfo->SubjectPublicKeyInfo;
    result.algorithm = algorithm_of(key.Algorithm);
    result.publicKey = detail::copy_bytes(key.PublicKey.pbData, key.PublicKey.cbData);
    result.unusedBits = key.PublicKey.cUnusedBits;
    result.keyLength = ::CertGetPublicKeyLength(X509_ASN_ENCODING, &key);
    return result;
}

Bytes WinNativeCert::get_subject_key_id() const {
    if (!is_valid()) return cert::EMPTY_BYTES;
    const PCCERT_CONTEXT context = m_context.get();
    DWORD size = 0;
    if (!::CertGetCertificateContextProperty(context, CERT_KEY_IDENTIFIER_PROP_ID, nullptr, &size))
        return public_key_id(context->pCertInfo->SubjectPublicKeyInfo);
    Bytes id(size);
    if (!::CertGetCertificateContextProperty(context, CERT_KEY_IDENTIFIER_PROP_ID, id.data(), &size))
        return cert::EMPTY_BYTES;
    id.resize(size);
    return id;
}

Bytes WinNativeCert::get_authority_key_id() const {
    Bytes result = cert::EMPTY_BYTES;
    detail::with_extension<CERT_AUTHORITY_KEY_ID2_INFO>(
        m_context.get(), szOID_AUTHORITY_KEY_IDENTIFIER2,
        [&result](const CERT_AUTHORITY_KEY_ID2_INFO& info, bool) {
            result = detail::copy_bytes(info.KeyId.pbData, info.KeyId.cbData);
        });
    return result;
}

bool WinNativeCert::verify_signature(const NativeCert& issuer) const {
    if (!is_valid()) return false;
    const WinNativeCert& signer = dynamic_cast<const WinNativeCert&>(issuer);
    if (!signer.is_valid()) return false;
    return ::CryptVerifyCertificateSignatureEx(
               0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_CERT,
               const_cast<CERT_CONTEXT*>(m_context.get()), CRYPT_VERIFY_CERT_SIGN_ISSUER_CERT,
               const_cast<CERT_CONTEXT*>(signer.m_context.get()), 0, nullptr) != FALSE;
}

}  // namespace qen_lib::port
