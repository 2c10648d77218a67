// Writing and verifying Mac files.
#include <windows.h>

#include <cstring>
#include <cwchar>

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

// The Mac text that the protected file should have.
DWORD expected_text(const wchar_t* path, const char* password, const char* salt, const char* suffix,
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
    const BOOL done = file_hmac_hex(path, key, KEY_LENGTH, text, selection.id);
    const DWORD error = done ? ERROR_SUCCESS : qen_lib::last_error_or(ERROR_INTERNAL_ERROR);
    SecureZeroMemory(key, sizeof key);
    return error;
}

DWORD write_mac(const wchar_t* path, const char* password, const char* salt, const char* suffix) {
    wchar_t mac_path[MAX_PATH];
    if (const DWORD error = mac_path_of(path, mac_path)) return error;
    wchar_t text[MAC_TEXT_CAPACITY];
    if (const DWORD error = expected_text(path, password, salt, suffix, text)) return error;
    return mac_file_write_line(mac_path, text) ? ERROR_SUCCESS : qen_lib::last_error_or(ERROR_IO_DEVICE);
}

DWORD verify_mac(const wchar_t* path, bool* match, const char* password, const char* salt, const char* suffix) {
    *match = false;
    wchar_t mac_path[MAX_PATH];
    if (const DWORD error = mac_path_of(path, mac_path)) return error;
    wchar_t expected[MAC_TEXT_CAPACITY];
    if (const DWORD error = expected_text(path, password, salt, suffix, expected)) return error;
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
    return qen_lib::report(verify_mac(path, match, password, salt, suffix));
}
