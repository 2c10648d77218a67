#pragma once
// The shared owner of a block of bytes (file contents, certificates). A buffer
// owns its array alone: it can be moved, and copied only through clone.
#include <cstdint>
#include <string>

namespace qen_lib {

class ByteBuffer {
public:
    ByteBuffer() = default;
    // Allocates size bytes without clearing them; 0 gives an empty buffer.
    explicit ByteBuffer(std::uint32_t size);
    ~ByteBuffer();

    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    // A new buffer of the same size holding a copy of the bytes.
    ByteBuffer clone() const;

    // Each byte as two lowercase hex digits, the separator between bytes.
    std::wstring to_hex(const std::wstring& separator) const;

    unsigned char* data() { return m_data; }
    const unsigned char* data() const { return m_data; }
    std::uint32_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

private:
    unsigned char* m_data = nullptr;
    std::uint32_t m_size = 0;
};

}  // namespace qen_lib
