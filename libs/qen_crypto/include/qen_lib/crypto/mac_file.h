#pragma once
// Mac files: the integrity side file of another file. It is named as the
// protected file's path followed by ".0" and holds one line of text: the
// HMAC-SHA-256 of the whole protected file, as lowercase two-digit hex bytes
// joined by ":", keyed with 32 bytes derived by pbkdf2_hmac (SHA-256) from a
// password and the salt followed by a suffix (the certificate store passes
// its folder's last element). Each function returns BOOL and leaves the
// reason with SetLastError.
#include <windows.h>

#include <cstddef>

// Room for a Mac text, in characters with the NUL.
constexpr std::size_t MAC_TEXT_CAPACITY = 256;
// Longest protected path, so that the Mac file's path fits MAX_PATH.
constexpr std::size_t MAC_PROTECTED_PATH_MAX = MAX_PATH - 3;
// Longest salt and suffix together, in bytes.
constexpr std::size_t MAC_SALT_MAX = 255;

// Writes the Mac file of the protected file. A longer path or salt is
// refused (ERROR_FILENAME_EXCED_RANGE, ERROR_INVALID_PARAMETER), never cut.
BOOL mac_file_write_sha256(const wchar_t* path, const char* password, const char* salt, const char* suffix);

// TRUE when the check could run, with *match telling whether the stored line
// equals the computed one (case-sensitive); FALSE when it could not run
// (for example ERROR_FILE_NOT_FOUND for a missing protected or Mac file).
BOOL mac_file_verify_sha256(const wchar_t* path, bool* match, const char* password, const char* salt,
                            const char* suffix);

// The Mac text that a file holding exactly these bytes has, for a writer
// that builds the protected content in memory and puts it in place itself.
BOOL mac_text_sha256(const void* data, std::size_t size, const char* password, const char* salt,
                     const char* suffix, wchar_t* text);

// As mac_file_verify_sha256, over bytes that the caller has already read from
// path: the caller goes on to use the very bytes that were checked, and no
// one can change the file between the check and the use.
BOOL mac_bytes_verify_sha256(const wchar_t* path, const void* data, std::size_t size, bool* match,
                             const char* password, const char* salt, const char* suffix);

// The Mac text of the file under the key; hash_id must be HASH_ID_SHA256.
// text holds MAC_TEXT_CAPACITY characters.
BOOL file_hmac_hex(const wchar_t* path, const unsigned char* key, std::size_t key_length, wchar_t* text,
                   int hash_id);

// The first line of the file without its line end; text holds
// MAC_TEXT_CAPACITY characters, and a longer line is refused.
BOOL mac_file_read_line(const wchar_t* path, wchar_t* text);

// Creates or truncates the file with the text and a line end. Only a file
// that was written, flushed and closed without error gives TRUE.
BOOL mac_file_write_line(const wchar_t* path, const wchar_t* text);
