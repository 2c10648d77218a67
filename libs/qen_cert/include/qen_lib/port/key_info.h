#pragma once
// Algorithms, the subject's public key, and the time given to the validity
// test.
#include <cstdint>
#include <string>

#include "qen_lib/port/bytes.h"

namespace qen_lib::port {

struct AlgorithmIdentifier {
    std::wstring algorithm;  // dotted OID
    Bytes parameters;        // encoded; empty when there are none
};

struct PublicKeyInfo {
    AlgorithmIdentifier algorithm;
    Bytes publicKey;  // the key's BIT STRING
    std::uint32_t unusedBits = 0;
    std::uint32_t keyLength = 0;  // bits; 0 when the platform cannot tell
};

// A point in time in UTC.
struct CertTime {
    std::uint16_t year;
    std::uint16_t month;
    std::uint16_t day;
    std::uint16_t hour;
    std::uint16_t minute;
    std::uint16_t second;
    std::uint16_t milliseconds;
};

// Key usage: the first byte of the keyUsage BIT STRING in bits 15 to 8, the
// second in bits 7 to 0 (digitalSignature 0x8000, keyCertSign 0x0400,
// decipherOnly 0x0080); 0 without the extension.
using KeyUsage = std::uint32_t;

}  // namespace qen_lib::port
