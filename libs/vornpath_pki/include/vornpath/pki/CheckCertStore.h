#pragma once
// Whether a certificate-store folder is complete and intact: the store opens
// (folder, index, Mac file, records) and every certificate file is there,
// loads and matches its record. Logs nothing of its own, and changes no file
// but one: a save of the store stopped between its two moves is finished, as
// every load of the store does.

// Check results. The callers so far treat every one but CHECK_STORE_OK alike.
enum : int {
    CHECK_STORE_OK = 0,
    CHECK_STORE_FILE_MISSING = 1,     // the index or a certificate file
    CHECK_STORE_FILE_UNREADABLE = 2,  // the index's lines, or a certificate file
    CHECK_STORE_BROKEN = 7,           // anything else: no folder, Mac, content, digests
};

int CheckCertStore(const wchar_t* folder);

// The check result that a store result code (vornpath/pki/store_result.h)
// stands for; what a reader of the store tells its user goes by it.
int CheckResultOf(int storeResult);
