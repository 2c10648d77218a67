// The WinNativeCert class itself: the context it owns, its bytes, serial
// number and name texts, and its clone.
#include "qen_lib/port/WinNativeCert.h"

#include <algorithm>

#include "qen_lib/byte_buffer.h"
#include "qen_lib/log.h"
#include "qen_lib/text.h"

namespace qen_lib::port {

WinNativeCert::WinNativeCert(PCCERT_CONTEXT context) : m_context(context) {}

bool WinNativeCert::is_valid() const { return m_context.valid(); }

Bytes WinNativeCert::get_encoded() const {
    if (!is_valid()) return Bytes();
    const BYTE* der = m_context.get()->pbCertEncoded;
    return Bytes(der, der + m_context.get()->cbCertEncoded);
}

std::unique_ptr<NativeCertInteger> WinNativeCert::get_serial_number() const {
    if (!is_valid()) return nullptr;
    return std::make_unique<WinNativeCertInteger>(&m_context.get()->pCertInfo->SerialNumber);
}

std::wstring WinNativeCert::get_issuer() const {
    return name_text(CERT_NAME_ISSUER_FLAG, L"qen_lib::port::WinNativeCert::get_issuer", 1904);
}

std::wstring WinNativeCert::get_subject() const {
    return name_text(0, L"qen_lib::port::WinNativeCert::get_subject", 1924);
}

std::wstring WinNativeCert::name_text(DWORD issuerFlag, const wchar_t* function, int line) const {
    if (!is_valid()) return std::wstring();
    const DWORD BUFFER_CHARS = 1024;
    wchar_t text[BUFFER_CHARS];
    text[0] = L'\0';
    DWORD format = CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG;
    if (::CertGetNameStringW(m_context.get(), CERT_NAME_RDN_TYPE, issuerFlag, &format, text,
                             BUFFER_CHARS) < 2)
        log::report(function, line, L"CertGetNameString failed(0x%08x)", ::GetLastError());
    return text;
}

std::unique_ptr<NativeCert> WinNativeCert::clone() const {
    // Contexts are reference counted: the clone shares the decoded
    // certificate and releases its own reference.
    PCCERT_CONTEXT duplicate =
        is_valid() ? ::CertDuplicateCertificateContext(m_context.get()) : nullptr;
    return std::make_unique<WinNativeCert>(duplicate);
}

std::wstring WinNativeCertInteger::to_string() const {
    // The platform keeps the octets least significant first.
    ByteBuffer octets(m_blob->cbData);
    std::reverse_copy(m_blob->pbData, m_blob->pbData + m_blob->cbData, octets.data());
    return text::widen(text::bytes_to_hex(octets));
}

}  // namespace qen_lib::port
