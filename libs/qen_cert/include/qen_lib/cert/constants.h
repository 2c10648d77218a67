#pragma once
// Constants of the certificate library, built before the program's own code
// runs and kept until exit.
#include <string>

#include "qen_lib/port/bytes.h"

namespace qen_lib::cert {

// The key identifier of a certificate that has none.
extern const port::Bytes EMPTY_BYTES;

// Names of the digests by which certificates are hashed (Cert::digest).
extern const std::wstring SHA1_NAME;
extern const std::wstring SHA256_NAME;

}  // namespace qen_lib::cert
