#include "allowlist/FileFingerprint.h"

#include "qen_lib/byte_buffer.h"
#include "qen_lib/crypto/sha1.h"
#include "qen_lib/file.h"

std::wstring FileFingerprint(const std::wstring& path) {
    bool ok = false;
    const qen_lib::ByteBuffer bytes = qen_lib::file::load(path, WHITE_LIST_MAX_BYTES, ok);
    if (!ok) return std::wstring();
    qen_lib::ByteBuffer digest(SHA1_DIGEST_SIZE);
    if (sha1_digest(digest.data(), bytes.data(), bytes.size()) != 0) return std::wstring();
    return digest.to_hex(L"_");
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
