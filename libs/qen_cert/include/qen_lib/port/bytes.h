#pragma once
// Bytes as the certificate model hands them out, and their hex text.
#include <string>
#include <vector>

namespace qen_lib::port {

using Bytes = std::vector<unsigned char>;

// Each byte as two lowercase hex digits, the separator between consecutive
// bytes only; empty bytes give empty text. The store passes "_".
std::wstring join_hex(const Bytes& bytes, const std::wstring& separator);

}  // namespace qen_lib::port
