#include "rules/RuleTextReader.h"

#include <climits>

#include "framework/CString.h"

namespace {

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

RuleTextReader::RuleTextReader(const wchar_t* path) : m_file(_wfopen(path, L"rt")), m_ok(m_file != nullptr) {}

bool RuleTextReader::Fail() {
    m_ok = false;
    return false;
}

bool RuleTextReader::ReadMagnitude(bool& negative, std::uint32_t& magnitude) {
    if (!m_ok) return false;
    std::FILE* file = m_file.get();
    int c = std::getc(file);
    while (IsBlank(c)) c = std::getc(file);
    negative = c == '-';
    if (c == '-' || c == '+') c = std::getc(file);
    if (!IsDigit(c)) return Fail();
    std::uint64_t value = 0;
    for (; IsDigit(c); c = std::getc(file)) {
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > UINT32_MAX) return Fail();
    }
    // The character after the number belongs to whatever is read next.
    if (c != EOF) std::ungetc(c, file);
    magnitude = static_cast<std::uint32_t>(value);
    return true;
}

bool RuleTextReader::ReadInt(int& value) {
    bool negative = false;
    std::uint32_t magnitude = 0;
    if (!ReadMagnitude(negative, magnitude)) return false;
    const std::uint32_t limit = negative ? static_cast<std::uint32_t>(INT_MAX) + 1u : INT_MAX;
    if (magnitude > limit) return Fail();
    value = negative ? static_cast<int>(0u - magnitude) : static_cast<int>(magnitude);
    return true;
}

bool RuleTextReader::ReadUnsigned(std::uint32_t& value) {
    bool negative = false;
    std::uint32_t magnitude = 0;
    if (!ReadMagnitude(negative, magnitude)) return false;
    value = negative ? 0u - magnitude : magnitude;
    return true;
}

bool RuleTextReader::ReadLine(std::wstring& line) {
    if (!m_ok) return false;
    std::string bytes;
    for (;;) {
        const int c = std::getc(m_file.get());
        if (c == EOF) {
            if (bytes.empty()) return Fail();
            break;
        }
        if (c == '\n') break;
        // A NUL would end the line for whoever reads it as a C string: the
        // command after it would run unseen, and a long URL would pass.
        if (c == '\0' || bytes.size() == static_cast<std::size_t>(kMaxLineBytes)) return Fail();
        bytes.push_back(static_cast<char>(c));
    }
    line = CString(bytes.data(), static_cast<int>(bytes.size())).str();
    return true;
}

void RuleTextReader::SkipRestOfLine() {
    if (!m_ok) return;
    int c = std::getc(m_file.get());
    while (c != '\n' && c != EOF) {
        if (c == '\0') {
            Fail();
            return;
        }
        c = std::getc(m_file.get());
    }
}
