#include "qen_lib/cert/Cert.h"

#include <utility>

#include "qen_lib/cert/constants.h"
#include "qen_lib/crypto/sha1.h"
#include "qen_lib/crypto/sha256.h"
#include "qen_lib/file.h"
#include "qen_lib/port/WinNativeCert.h"

namespace qen_lib::cert {

namespace {

// Certificate files are small; anything longer is not one of ours.
const unsigned MAX_CERT_FILE = 10240;

// What a Cert that was moved from answers through native().
const port::NativeCert& no_certificate() {
    static const port::NativeCert none;
    return none;
}

}  // namespace

Cert::Cert() : m_native(std::make_unique<port::NativeCert>()) {}

Cert::Cert(const Cert& other) : Cert() {
    m_der = other.m_der.clone();
    if (other.is_loaded()) m_native = other.m_native->clone();
}

Cert::Cert(Cert&& other) noexcept = default;
Cert& Cert::operator=(Cert&& other) noexcept = default;
Cert::~Cert() = default;

Cert& Cert::operator=(const Cert& other) {
    if (this != &other) *this = Cert(other);
    return *this;
}

bool Cert::load(const std::wstring& path) {
    // Bytes and certificate are taken together or not at all, so that der and
    // digest always speak of the certificate that native decodes.
    bool ok = false;
    ByteBuffer der = file::load(path, MAX_CERT_FILE, ok);
    if (!ok) return false;
    std::unique_ptr<port::NativeCert> native =
        port::make_cert(der.data(), static_cast<std::int32_t>(der.size()));
    m_der = std::move(der);
    m_native = std::move(native);
    return m_native->is_valid();
}

ByteBuffer Cert::digest(const std::wstring& algorithm) const {
    if (algorithm == SHA256_NAME) {
        ByteBuffer sha256(SHA256_DIGEST_SIZE);
        sha256_digest(sha256.data(), m_der.data(), m_der.size());
        return sha256;
    }
    ByteBuffer sha1(SHA1_DIGEST_SIZE);
    sha1_digest(sha1.data(), m_der.data(), m_der.size());
    return sha1;
}

bool Cert::is_loaded() const {
    return m_native && m_native->is_valid();
}

const port::NativeCert& Cert::native() const {
    return m_native ? *m_native : no_certificate();
}

}  // namespace qen_lib::cert
