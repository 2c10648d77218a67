// The envelope's cipher key.
#include "envelope_cipher.h"
#include "envelope_key_blob.h"
#include "qen_lib/envelope/envelope.h"
#include "win/win_result.h"

namespace {

DWORD derive_key(HCRYPTPROV provider, HCRYPTKEY* key) {
    win::CryptHash hash;
    if (!CryptCreateHash(provider, CALG_SHA1, 0, 0, hash.put())) return qen_lib::last_error_or(NTE_FAIL);
    if (!CryptHashData(hash.get(), ENVELOPE_KEY_BLOB, sizeof ENVELOPE_KEY_BLOB, 0)) {
        return qen_lib::last_error_or(NTE_FAIL);
    }
    // Flags 0 keep the key's defaults: CBC, a zero IV and PKCS #5 padding,
    // which is what producers of envelope files rely on.
    if (!CryptDeriveKey(provider, CALG_3DES, hash.get(), 0, key)) return qen_lib::last_error_or(NTE_FAIL);
    return ERROR_SUCCESS;
}

}  // namespace

BOOL DeriveEnvelopeKey(HCRYPTPROV provider, HCRYPTKEY* key) { return qen_lib::report(derive_key(provider, key)); }

DWORD acquire_envelope_key(win::CryptProv& provider, win::CryptKey& key) {
    if (!CryptAcquireContextW(provider.put(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
        return qen_lib::last_error_or(NTE_FAIL);
    }
    return derive_key(provider.get(), key.put());
}
