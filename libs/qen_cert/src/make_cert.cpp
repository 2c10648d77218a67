#include "qen_lib/port/WinNativeCert.h"

#include <vector>

#include "qen_lib/log.h"

namespace qen_lib::port {

namespace {

const DWORD ENCODING = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
// Certificate files are at most this long, so their DER form is too.
const DWORD MAX_DECODED = 10240;

PCCERT_CONTEXT from_base64(const unsigned char* data, std::int32_t size) {
    // A count of 0 makes the platform read up to a terminator: give it one.
    const DWORD count = size > 0 ? DWORD(size) : 0;
    const char* text = count ? reinterpret_cast<const char*>(data) : "";
    std::vector<BYTE> der(MAX_DECODED);
    DWORD length = MAX_DECODED;
    if (!::CryptStringToBinaryA(text, count, CRYPT_STRING_BASE64HEADER, der.data(), &length,
                                nullptr, nullptr)) {
        log::report(L"qen_lib::port::make_cert", 1808, L"CryptStringToBinaryA failed(0x%08x)",
                    ::GetLastError());
        return nullptr;
    }
    PCCERT_CONTEXT context = ::CertCreateCertificateContext(ENCODING, der.data(), length);
    if (!context)
        log::report(L"qen_lib::port::make_cert", 1804, L"CertCreateCertificateContext failed(0x%08x)",
                    ::GetLastError());
    return context;
}

}  // namespace

std::unique_ptr<NativeCert> make_cert(const unsigned char* data, std::int32_t size) {
    PCCERT_CONTEXT context =
        size > 0 ? ::CertCreateCertificateContext(ENCODING, data, DWORD(size)) : nullptr;
    if (!context) context = from_base64(data, size);
    return std::make_unique<WinNativeCert>(context);
}

}  // namespace qen_lib::port
