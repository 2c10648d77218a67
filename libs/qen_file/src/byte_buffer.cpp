#include "qen_lib/byte_buffer.h"

#include <algorithm>
#include <utility>

namespace qen_lib {

ByteBuffer::ByteBuffer(std::uint32_t size)
    : m_data(size ? new unsigned char[size] : nullptr), m_size(size) {}

ByteBuffer::~ByteBuffer() {
    delete[] m_data;
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        delete[] m_data;
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

ByteBuffer ByteBuffer::clone() const {
    ByteBuffer copy(m_size);
    std::copy(m_data, m_data + m_size, copy.m_data);
    return copy;
}

std::wstring ByteBuffer::to_hex(const std::wstring& separator) const {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring hex;
    hex.reserve(m_size * (2 + separator.size()));
    for (std::uint32_t i = 0; i < m_size; ++i) {
        if (i != 0) hex += separator;
        hex += digits[m_data[i] >> 4];
        hex += digits[m_data[i] & 0x0f];
    }
    return hex;
}

}  // namespace qen_lib
