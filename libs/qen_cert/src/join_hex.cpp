#include "qen_lib/port/bytes.h"

#include <algorithm>

#include "qen_lib/byte_buffer.h"

namespace qen_lib::port {

std::wstring join_hex(const Bytes& bytes, const std::wstring& separator) {
    ByteBuffer buffer(static_cast<std::uint32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), buffer.data());
    return buffer.to_hex(separator);
}

}  // namespace qen_lib::port
