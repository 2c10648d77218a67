#pragma once
// Whether the downloaded allowed-URL list differs from the installed one, by
// SHA-1 fingerprints of the two files.
#include <string>

// Forty lowercase hexadecimal digits in pairs joined by "_", over every byte
// of the file whatever its size; "" when the file is missing or unreadable.
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
