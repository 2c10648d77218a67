#pragma once
// Whether the downloaded allowed-URL list differs from the installed one, by
// SHA-1 fingerprints of the two files.
#include <string>

// Lists larger than this are not fingerprinted.
constexpr unsigned WHITE_LIST_MAX_BYTES = 102400;

// Forty lowercase hexadecimal digits in pairs joined by "_"; "" when the file
// is missing, unreadable or larger than WHITE_LIST_MAX_BYTES.
std::wstring FileFingerprint(const std::wstring& path);

struct FingerprintComparison {
    std::wstring installed;
    std::wstring downloaded;
    bool differ = false;
};

// The fingerprints of both files. They differ unless both were computed and
// are the same: a list we cannot fingerprint never passes for unchanged, so a
// missing installed list is always installed.
FingerprintComparison CompareFileFingerprints(const std::wstring& installedPath,
                                              const std::wstring& downloadedPath);
