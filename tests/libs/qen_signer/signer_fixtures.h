#pragma once
// Where the build left the signed fixtures, and the certificates in them.
#include <string>

#include "win/handle.h"

namespace signer_test {

// Windows path of a file in the fixtures folder.
std::wstring FixturePath(const std::wstring& name);

// The certificate in NAME.cer of the fixtures folder; empty when missing.
win::CertContext LoadFixtureCert(const std::wstring& name);

// Wine accepts what only a real Windows rejects in a few cases.
bool RunningUnderWine();

}  // namespace signer_test
