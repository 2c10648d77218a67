#include "fileops/TextFile.h"

#include <windows.h>

#include <string>

#include "qen_lib/log.h"

namespace qen_lib::file {

namespace {

// A settings file is a few kilobytes; the limit keeps a planted huge file
// from being read into memory whole.
constexpr unsigned kTextFileLimit = 16u * 1024u * 1024u;

// The UTF-8 bytes of the text; false for a text that has none.
bool EncodeUtf8(const std::wstring& text, std::string& bytes) {
    bytes.clear();
    if (text.empty()) return true;
    const int wideLength = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return false;
    bytes.resize(static_cast<std::size_t>(length));
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), wideLength, &bytes[0], length, nullptr,
                               nullptr) == length;
}

// The text of UTF-8 bytes; false for bytes that are not UTF-8 (cut, overlong
// or surrogate sequences included), which no text would save back to.
bool DecodeUtf8(const unsigned char* data, std::size_t size, std::wstring& text) {
    text.clear();
    if (size == 0) return true;
    const char* bytes = reinterpret_cast<const char*>(data);
    const int byteLength = static_cast<int>(size);
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, byteLength, nullptr, 0);
    if (length <= 0) return false;
    text.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, byteLength, &text[0], length) == length;
}

}  // namespace

bool load(const std::wstring& path, std::wstring& text) {
    bool ok = false;
    const ByteBuffer bytes = load(path, kTextFileLimit, ok);
    if (!ok) return false;  // logged by the byte load
    std::wstring decoded;
    if (!DecodeUtf8(bytes.data(), bytes.size(), decoded)) {
        log::report(L"qen_lib::file::load", 254, L"File reading failed(%d): path=%ls",
                    static_cast<int>(ERROR_NO_UNICODE_TRANSLATION), path.c_str());
        return false;
    }
    text += decoded;
    return true;
}

bool save(const std::wstring& path, const std::wstring& text) {
    std::string bytes;
    if (!EncodeUtf8(text, bytes)) {
        log::report(L"qen_lib::file::save", 162, L"File writing failed(%d): path=%ls",
                    static_cast<int>(ERROR_NO_UNICODE_TRANSLATION), path.c_str());
        return false;
    }
    return save(path, bytes.data(), bytes.size());  // logs its own failure
}

}  // namespace qen_lib::file
