// Writing and verifying Mac files.
#include <windows.h>

#include <cstring>
#include <cwchar>

#include "hmac_hex.h"
#include "qen_lib/crypto/mac_file.h"
#include "qen_lib/crypto/pbkdf2.h"
#include "win/win_result.h"

namespace {

constexpr std::size_t KEY_LENGTH = 32;

// The protected path + ".0"; a path too long for that is refused.
DWORD mac_path_of(const wchar_t* path, wchar_t (&mac_path)[MAX_PATH]) {
    const std::size_t length = std::wcslen(path);
    if (length > MAC_PROTECTED_PATH_MAX) return ERROR_FILENAME_EXCED_RANGE;
    std::wmemcpy(mac_path, path, length);
    std::wmemcpy(mac_path + length, L".0", 3);
    return ERROR_SUCCESS;
}

// What a Mac text is computed over: the file at path, or, when data is
// set, bytes already in memory.
struct Protected {
    const wchar_t* path;
    const void* data;
    std::size_t size;
};

// Bytes in memory; an empty buffer may come without an address and still has
// its Mac, the HMAC of the empty message.
Protected in_memory(const void* data, std::size_t size) {
    static const unsigned char kNothing = 0;
    return {nullptr, size ? data : &kNothing, size};
}

// The Mac text that the protected content should have.
DWORD expected_text(const Protected& content, const char* password, const char* salt, const char* suffix,
                    wchar_t* text) {
    const std::size_t salt_length = std::strlen(salt);
    const std::size_t suffix_length = std::strlen(suffix);
    if (salt_length + suffix_length > MAC_SALT_MAX) return ERROR_INVALID_PARAMETER;
    unsigned char salted[MAC_SALT_MAX];
    std::memcpy(salted, salt, salt_length);
    std::memcpy(salted + salt_length, suffix, suffix_length);

    hash_selection selection;
    if (!hash_select(selection, HASH_ID_SHA256)) return ERROR_INTERNAL_ERROR;
    unsigned char key[KEY_LENGTH];
    if (!pbkdf2_hmac(selection, password, std::strlen(password), salted, salt_length + suffix_length, key,
                     KEY_LENGTH)) {
        return ERROR_NO_UNICODE_TRANSLATION;
    }
    DWORD error = ERROR_SUCCESS;
    if (content.data) {
        error = bytes_hmac_hex(content.data, content.size, key, KEY_LENGTH, text, selection.id);
    } else if (!file_hmac_hex(content.path, key, KEY_LENGTH, text, selection.id)) {
        error = qen_lib::last_error_or(ERROR_INTERNAL_ERROR);
    }
    SecureZeroMemory(key, sizeof key);
    return error;
}

DWORD write_mac(const wchar_t* path, const char* password, const char* salt, const char* suffix) {
    wchar_t mac_path[MAX_PATH];
    if (const DWORD error = mac_path_of(path, mac_path)) return error;
    wchar_t text[MAC_TEXT_CAPACITY];
    if (const DWORD error = expected_text({path, nullptr, 0}, password, salt, suffix, text)) return error;
    return mac_file_write_line(mac_path, text) ? ERROR_SUCCESS : qen_lib::last_error_or(ERROR_IO_DEVICE);
}

DWORD verify_mac(const wchar_t* path, const Protected& content, bool* match, const char* password,
                 const char* salt, const char* suffix) {
    *match = false;
    wchar_t mac_path[MAX_PATH];
    if (const DWORD error = mac_path_of(path, mac_path)) return error;
    wchar_t expected[MAC_TEXT_CAPACITY];
    if (const DWORD error = expected_text(content, password, salt, suffix, expected)) return error;
    wchar_t stored[MAC_TEXT_CAPACITY];
    if (!mac_file_read_line(mac_path, stored)) return qen_lib::last_error_or(ERROR_IO_DEVICE);
    *match = std::wcscmp(expected, stored) == 0;
    return ERROR_SUCCESS;
}

}  // namespace

BOOL mac_file_write_sha256(const wchar_t* path, const char* password, const char* salt, const char* suffix) {
    return qen_lib::report(write_mac(path, password, salt, suffix));
}

BOOL mac_file_verify_sha256(const wchar_t* path, bool* match, const char* password, const char* salt,
                            const char* suffix) {
    return qen_lib::report(verify_mac(path, {path, nullptr, 0}, match, password, salt, suffix));
}

BOOL mac_text_sha256(const void* data, std::size_t size, const char* password, const char* salt,
                     const char* suffix, wchar_t* text) {
    return qen_lib::report(expected_text(in_memory(data, size), password, salt, suffix, text));
}

BOOL mac_bytes_verify_sha256(const wchar_t* path, const void* data, std::size_t size, bool* match,
                             const char* password, const char* salt, const char* suffix) {
    return qen_lib::report(verify_mac(path, in_memory(data, size), match, password, salt, suffix));
}
