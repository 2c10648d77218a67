#include "allowlist/FileFingerprint.h"

#include <windows.h>

#include <new>

#include "qen_lib/byte_buffer.h"
#include "qen_lib/crypto/sha1.h"
#include "win/handle.h"

namespace {

constexpr DWORD kReadSize = 64 * 1024;

// Every byte of the open file through the hash, a piece at a time: a list of
// any size is compared whole, and never held whole in memory.
bool HashWholeFile(HANDLE file, sha1_context& context) {
    qen_lib::ByteBuffer piece(kReadSize);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, piece.data(), kReadSize, &read, nullptr)) return false;
        if (read == 0) return true;
        if (sha1_update(context, piece.data(), read) != 0) return false;
    }
}

}  // namespace

std::wstring FileFingerprint(const std::wstring& path) try {
    // A folder of that name does not open without backup semantics.
    const win::FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::wstring();
    sha1_context context;
    sha1_init(context);
    if (!HashWholeFile(file.get(), context)) return std::wstring();
    qen_lib::ByteBuffer digest(SHA1_DIGEST_SIZE);
    sha1_final(digest.data(), context);
    return digest.to_hex(L"_");
} catch (const std::bad_alloc&) {
    return std::wstring();
}

FingerprintComparison CompareFileFingerprints(const std::wstring& installedPath,
                                              const std::wstring& downloadedPath) {
    FingerprintComparison result;
    result.installed = FileFingerprint(installedPath);
    result.downloaded = FileFingerprint(downloadedPath);
    result.differ = result.installed.empty() || result.downloaded.empty() ||
                    result.installed != result.downloaded;
    return result;
}
