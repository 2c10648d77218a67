#pragma once
// The envelope's cipher key in a provider of its own, as both the file pass
// and the in-memory cipher need it.
#include <windows.h>

#include "win/handle.h"

// ERROR_SUCCESS, or the error of the CryptoAPI call that failed.
DWORD acquire_envelope_key(win::CryptProv& provider, win::CryptKey& key);
