#include "qen_lib/cert/constants.h"

namespace qen_lib::cert {

const port::Bytes EMPTY_BYTES;
const std::wstring SHA1_NAME = L"SHA1";
const std::wstring SHA256_NAME = L"SHA256";

}  // namespace qen_lib::cert
