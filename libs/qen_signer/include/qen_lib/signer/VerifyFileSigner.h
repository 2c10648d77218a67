#pragma once
// Authenticode check of a downloaded file before it is used.
#include <windows.h>
#include <win/handle.h>
#include <qen_lib/signer/signer_certificate.h>

// TRUE when the file's signature verifies under the platform's trust policy
// and its signer passes the tests of signer_certificate.h. FALSE leaves the
// reason in the last error: the trust result, CERT_E_CN_NO_MATCH for a signer
// that is not accepted, or the error of opening the file.
BOOL VerifyFileSigner(LPCWSTR path, int signerKind = SIGNER_KIND_MAKER);

// The same check through a handle that allows no writing or deletion; on
// TRUE the handle is handed to the caller, so the file stays as checked until
// the caller closes it (an installer run with administrator rights must be
// the file that was verified). On FALSE held is empty.
BOOL VerifyFileSigner(LPCWSTR path, int signerKind, win::FileHandle& held);
