// Hash texts, and the folder's name as the Mac key takes it.
#include <windows.h>

#include "qen_lib/cert/constants.h"
#include "qen_lib/port/bytes.h"
#include "store_files.h"

namespace vornpath::pki {

namespace {

const wchar_t kHashSeparator[] = L"_";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); }

}  // namespace

std::wstring HashText(const qen_lib::port::Bytes& bytes) { return qen_lib::port::join_hex(bytes, kHashSeparator); }

std::wstring CertHashText(const qen_lib::cert::Cert& cert) {
    return cert.digest(qen_lib::cert::SHA1_NAME).to_hex(kHashSeparator);
}

std::wstring CertHashSha256Text(const qen_lib::cert::Cert& cert) {
    return cert.digest(qen_lib::cert::SHA256_NAME).to_hex(kHashSeparator);
}

std::wstring KeyIdText(const qen_lib::cert::Cert& cert) { return HashText(cert.native().get_subject_key_id()); }

bool IsHashText(const std::wstring& text, std::size_t bytes) {
    // n bytes take 3n - 1 characters: "xx" and n - 1 times "_xx".
    if ((text.size() + 1) % 3 != 0) return false;
    const std::size_t count = (text.size() + 1) / 3;
    if (count == 0 || (bytes != ANY_HASH_BYTES && count != bytes)) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i % 3 == 2 ? text[i] != kHashSeparator[0] : !IsHexDigit(text[i])) return false;
    }
    return true;
}

std::wstring TrimmedFolder(const std::wstring& folder) {
    std::wstring trimmed = folder;
    while (trimmed.size() > 1 && IsSeparator(trimmed.back()) && trimmed[trimmed.size() - 2] != L':')
        trimmed.pop_back();
    return trimmed;
}

bool StoreFolderName(const std::wstring& folder, std::string& name) {
    const std::wstring::size_type separator = folder.find_last_of(L"\\/");
    const std::wstring last = separator == std::wstring::npos ? folder : folder.substr(separator + 1);
    name.clear();
    if (last.empty()) return true;
    // Whoever makes a store keys its Mac with the name as the file functions'
    // code page spells it; so do we.
    const UINT codePage = AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    const int length = WideCharToMultiByte(codePage, 0, last.data(), static_cast<int>(last.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0) return false;
    name.resize(static_cast<std::size_t>(length));
    return WideCharToMultiByte(codePage, 0, last.data(), static_cast<int>(last.size()), &name[0], length, nullptr,
                               nullptr) == length;
}

}  // namespace vornpath::pki
