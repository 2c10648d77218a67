#include "signer_fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace signer_test {

std::wstring FixturePath(const std::wstring& name) {
    const char* dir = std::getenv("VUT_SIGNER_FIXTURES");
    std::wstring path = L"Z:";
    for (const char* p = dir ? dir : ""; *p; ++p) path += *p == '/' ? L'\\' : wchar_t(*p);
    return path + L"\\" + name;
}

win::CertContext LoadFixtureCert(const std::wstring& name) {
    std::unique_ptr<FILE, int (*)(FILE*)> in(_wfopen(FixturePath(name + L".cer").c_str(), L"rb"),
                                             &std::fclose);
    std::vector<char> der(16384);
    der.resize(in ? std::fread(der.data(), 1, der.size(), in.get()) : 0);
    return win::CertContext(::CertCreateCertificateContext(
        X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), DWORD(der.size())));
}

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace signer_test
