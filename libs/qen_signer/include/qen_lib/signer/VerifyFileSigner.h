#pragma once
// Authenticode check of a downloaded file before it is used.
#include <windows.h>

#include "qen_lib/signer/signer_certificate.h"
#include "win/handle.h"

// TRUE when the file's signature verifies under the platform's trust policy
// and its signer passes the tests of signer_certificate.h for signerKind.
// FALSE leaves the reason in the last error: the trust result,
// CERT_E_CN_NO_MATCH for a signer that is not accepted, or the error of
// opening the file, and held empty. On TRUE held keeps the file open without
// write or delete sharing, so it stays as checked until the caller closes it:
// a file that is run afterwards (an installer, with administrator rights) is
// checked this way and run while held.
BOOL VerifyFileSigner(LPCWSTR path, int signerKind, win::FileHandle& held);

// The same check of the maker's signature by path alone, for a file that
// nothing runs afterwards (the signed certificate cabinet). The file is let
// go on return, and a file checked by path can be swapped before it runs.
// It takes no signer kind: the kinds belong to the secondary program, which
// runs every file it checks.
BOOL VerifyFileSigner(LPCWSTR path);
