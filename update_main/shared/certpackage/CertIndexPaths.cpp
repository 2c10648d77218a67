#include "certpackage/CertIndexPaths.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "qen_lib/file.h"
#include "qen_lib/text.h"
#include "vornpath/pki/FileBaseCertificateStore.h"

namespace {

// An index of several thousand certificates stays well below this.
constexpr unsigned kMaxIndexBytes = 16u * 1024 * 1024;

// The first line of the file, without its line end; false when the file
// cannot be read or is empty.
bool ReadFirstLine(const wchar_t* path, std::wstring& line) {
    bool read = false;
    const qen_lib::ByteBuffer bytes = qen_lib::file::load(path, kMaxIndexBytes, read);
    if (!read || bytes.empty()) return false;
    const auto* begin = reinterpret_cast<const char*>(bytes.data());
    const auto* end = begin + bytes.size();
    const char* lineEnd = std::find(begin, end, '\n');
    if (lineEnd != begin && lineEnd[-1] == '\r') --lineEnd;
    line.assign(begin, lineEnd);
    return true;
}

// The client's counter read as _wtol reads a number: blanks, a sign and
// the digits up to the first other character ("15 " and " 15abc" are 15);
// 0 without digits or without a readable file. Reading it any stricter would
// take the client's newer stores for older ones.
int InstalledCounter(const CString& path) {
    std::wstring line;
    if (!ReadFirstLine(path, line)) return 0;
    // long is 32 bits here, in both builds: out of range gives its limit.
    return static_cast<int>(std::wcstol(line.c_str(), nullptr, 10));
}

}  // namespace

bool ReadIndexNumber(const wchar_t* path, int& value) {
    value = 0;
    std::wstring line;
    if (!ReadFirstLine(path, line)) return false;
    // Only a default comes back different for two defaults: then the line
    // was no number.
    const int number = qen_lib::text::to_int(line, 0);
    if (number != qen_lib::text::to_int(line, 1)) return false;
    value = number;
    return true;
}

bool CertIndexPaths::Build(const wchar_t* dir) {
    if (!dir || !*dir) return false;
    installDir = dir;
    wrapDir = installDir + L"\\.kvxwrap";
    cs1Dir = wrapDir + L"\\cs1";
    cs1Index = cs1Dir + L"\\index.txt";
    cs1IndexV2 = cs1Dir + L"\\" + vornpath::pki::INDEX_FILE_NAME;
    cs2Dir = wrapDir + L"\\cs2";
    cs2Index = cs2Dir + L"\\index.txt";
    cs2IndexV2 = cs2Dir + L"\\" + vornpath::pki::INDEX_FILE_NAME;
    return true;
}

bool CertIndexPaths::IsNewerCertPackage(const CString& packageFolder, int& newer) const {
    newer = 0;
    int package1 = 0;
    int package2 = 0;
    if (!ReadIndexNumber(packageFolder + L"\\cs1\\" + vornpath::pki::INDEX_FILE_NAME, package1)) return false;
    if (!ReadIndexNumber(packageFolder + L"\\cs2\\" + vornpath::pki::INDEX_FILE_NAME, package2)) return false;
    const int client1 = std::max(InstalledCounter(cs1IndexV2), InstalledCounter(cs1Index));
    const int client2 = std::max(InstalledCounter(cs2IndexV2), InstalledCounter(cs2Index));
    newer = package1 != 0 && package2 != 0 && (package1 > client1 || package2 > client2) ? 1 : 0;
    return true;
}
