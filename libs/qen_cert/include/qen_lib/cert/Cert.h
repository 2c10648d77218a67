#pragma once
// One certificate as the certificate store keeps it: the bytes of its file
// and the decoded certificate. Copies are deep.
#include <memory>
#include <string>

#include "qen_lib/byte_buffer.h"
#include "qen_lib/port/NativeCert.h"

namespace qen_lib::cert {

class Cert {
public:
    // No bytes and a bare NativeCert: not loaded.
    Cert();
    // A clone of the bytes, and of the certificate when other is loaded.
    Cert(const Cert& other);
    // Takes bytes and certificate; other is left empty and not loaded.
    Cert(Cert&& other) noexcept;
    Cert& operator=(const Cert& other);
    Cert& operator=(Cert&& other) noexcept;
    ~Cert();

    // Reads the file (at most 10240 bytes) into der, whatever it holds, and
    // decodes it (DER, or Base64 with PEM header lines). True when it is a
    // certificate. A file that cannot be read leaves bytes and certificate
    // as they were.
    bool load(const std::wstring& path);

    // SHA-256 of der when algorithm is SHA256_NAME exactly, else SHA-1.
    ByteBuffer digest(const std::wstring& algorithm) const;

    // The certificate decoded and valid.
    bool is_loaded() const;

    const ByteBuffer& der() const { return m_der; }
    // Never null: a Cert without a certificate answers as a bare NativeCert.
    const port::NativeCert& native() const;

private:
    ByteBuffer m_der;
    std::unique_ptr<port::NativeCert> m_native;
};

}  // namespace qen_lib::cert
