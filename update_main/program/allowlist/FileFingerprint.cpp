#include "allowlist/FileFingerprint.h"

#include <new>

#include "qen_lib/byte_buffer.h"
#include "qen_lib/crypto/file_sha1.h"
#include "qen_lib/crypto/sha1.h"

// Every byte of the file through the hash, a block at a time: a list of any
// size is compared whole, and never held whole in memory.
std::wstring FileFingerprint(const std::wstring& path) try {
    qen_lib::ByteBuffer digest(SHA1_DIGEST_SIZE);
    if (!file_sha1_digest(path.c_str(), digest.data())) return std::wstring();
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
