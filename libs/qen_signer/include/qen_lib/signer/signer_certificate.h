#pragma once
// Tests on the certificate that signed a downloaded file: it must be a
// code-signing certificate issued in Japan to one of the accepted names.
#include <windows.h>
#include <wincrypt.h>

// Which names a signer may carry: the maker's own spellings for the client
// setup and the cabinet, the auxiliary application's publisher for its files.
enum SignerKind : int {
    SIGNER_KIND_MAKER = 0,
    SIGNER_KIND_AUX_APP = 1,
};

// The extended-key-usage extension lists the code-signing purpose.
bool HasCodeSigningUsage(PCCERT_CONTEXT cert);

// The subject attribute attrOid ("2.5.4.10" or "2.5.4.3") equals, whole and
// case-sensitively, one of the names accepted for signerKind.
bool IsSignerName(PCCERT_CONTEXT cert, LPCSTR attrOid, int signerKind = SIGNER_KIND_MAKER);

// The subject's country is "JP".
bool IsSignerCountryJP(PCCERT_CONTEXT cert);

// All four tests, each one evaluated.
bool IsAcceptedSigner(PCCERT_CONTEXT cert, int signerKind);
