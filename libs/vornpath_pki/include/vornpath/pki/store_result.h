#pragma once
// The result codes of the certificate store's operations: 0 for success,
// else the cause. Codes 8, 14 to 18, 20, 22, 24, 26 and 28 are never given;
// the numbers are those that the stores' users and their logs already know.
namespace vornpath::pki {

enum StoreResult : int {
    STORE_OK = 0,
    STORE_NO_DIRECTORY = 1,          // the folder is not an existing directory
    STORE_INDEX_EXISTS = 2,          // creating, and the index is there already
    STORE_NO_INDEX = 3,              // the index file does not exist
    STORE_INDEX_CORRUPTED = 4,       // the index's Mac check could not run
    STORE_INDEX_UNREADABLE = 5,      // the index's lines could not be read to their end
    STORE_PASSWORD_WRONG = 6,        // the Mac file does not match the index
    STORE_CERT_HASH_DUPLICATED = 7,  // two records of one certificate
    STORE_COUNTER_ILLEGAL = 9,       // the first line is not a number of 0 or more
    STORE_INDEX_EMPTY = 10,          // the index has no line at all
    STORE_BAD_CERT_HASH = 11,        // a record's certHash is missing or no SHA-1 hash text
    STORE_BAD_CERT_HASH_SHA256 = 12, // its certHashSHA-256 is missing or no SHA-256 hash text
    STORE_BAD_KEY_ID = 13,           // its keyId is missing or no hash text
    STORE_CERT_FILE_MISSING = 19,
    STORE_CERT_FILE_UNLOADABLE = 21, // unreadable, too big, or not a certificate
    STORE_CERT_FILE_CORRUPTED = 23,  // its digests differ from its record
    STORE_CERT_FILE_UNWRITABLE = 25,
    STORE_CERT_FILE_UNDELETABLE = 27,
    STORE_INDEX_UNWRITABLE = 29,
    STORE_MAC_UNWRITABLE = 30,
    STORE_LOCK_FAILED = 31,          // the store's mutex reported a status other than 0
};

}  // namespace vornpath::pki
