#pragma once
// Helpers shared by the WinNativeCert operations: the platform's decoding of
// encoded structures and names into buffers and records of our own.
#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

#include "qen_lib/port/bytes.h"
#include "qen_lib/port/names.h"

namespace qen_lib::port::detail {

// A structure decoded by CryptDecodeObjectEx (size first, then the bytes)
// into a buffer of its own; empty when either call fails.
class Decoded {
public:
    Decoded() = default;
    Decoded(DWORD encoding, LPCSTR type, const BYTE* data, DWORD size, DWORD flags);

    explicit operator bool() const { return !m_buffer.empty(); }
    template <class T>
    const T& as() const { return *reinterpret_cast<const T*>(m_buffer.data()); }

private:
    std::vector<unsigned char> m_buffer;
};

// The extension with oid, decoded as the structure that oid names, with its
// pointers into the certificate (no copy). Empty when absent or undecodable.
Decoded decode_extension(PCCERT_CONTEXT context, const char* oid, bool& critical);

// Calls use(structure, critical) when there is a certificate and it has the
// extension with oid, decodable as Structure; an undecodable extension counts
// as absent.
template <class Structure, class Use>
void with_extension(PCCERT_CONTEXT context, const char* oid, Use use) {
    if (!context) return;
    bool critical = false;
    const Decoded decoded = decode_extension(context, oid, critical);
    if (decoded) use(decoded.as<Structure>(), critical);
}

Bytes copy_bytes(const BYTE* data, DWORD size);
std::wstring widen_oid(const char* oid);

// A name blob as a NameInfo; empty when it cannot be decoded.
NameInfo decode_name(const CERT_NAME_BLOB& blob);

// One entry of an alternative-name list, and all of them in order.
GeneralName general_name_of(const CERT_ALT_NAME_ENTRY& entry);
std::vector<GeneralName> general_names_of(const CERT_ALT_NAME_INFO& names);

}  // namespace qen_lib::port::detail
