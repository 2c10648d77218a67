// Deciphering an envelope file: into a temporary file first, then the
// payload into a file beside the target, which takes the target's place by
// the durable replace only once the trailer has been checked.
#include <new>
#include <string>
#include <utility>

#include "envelope_cipher.h"
#include "envelope_files.h"
#include "qen_lib/envelope/envelope.h"
#include "qen_lib/fu_replace.h"
#include "win/win_result.h"

using envelope_files::BLOCK;

namespace {

DWORD decrypt_to_temp(const wchar_t* source, const wchar_t* temporary) {
    win::CryptProv provider;
    win::CryptKey key;
    if (const DWORD error = acquire_envelope_key(provider, key)) return error;
    const win::FileHandle in = envelope_files::open_for_reading(source);
    if (!in) return qen_lib::last_error_or(ERROR_OPEN_FAILED);
    const win::FileHandle out = envelope_files::create_for_writing(temporary);
    if (!out) return qen_lib::last_error_or(ERROR_OPEN_FAILED);

    // The final CryptDecrypt call must carry the last ciphertext block (one
    // with 0 bytes is refused), so each block is deciphered only once the
    // read after it tells whether it was the last.
    BYTE first[BLOCK], second[BLOCK];
    BYTE* current = first;
    BYTE* next = second;
    DWORD current_size = 0;
    if (!envelope_files::read_some(in, current, BLOCK, &current_size)) return qen_lib::last_error_or(ERROR_READ_FAULT);
    for (;;) {
        DWORD next_size = 0;
        if (current_size == BLOCK && !envelope_files::read_some(in, next, BLOCK, &next_size)) {
            return qen_lib::last_error_or(ERROR_READ_FAULT);
        }
        // Every read but the last is a whole BLOCK, so this checks the length
        // of the whole ciphertext.
        if (!is_cipher_length(current_size)) return static_cast<DWORD>(NTE_BAD_DATA);
        const BOOL last = next_size == 0;
        DWORD plain_size = current_size;
        if (!CryptDecrypt(key.get(), 0, last, 0, current, &plain_size)) return qen_lib::last_error_or(NTE_BAD_DATA);
        if (!envelope_files::write_all(out, current, plain_size)) return qen_lib::last_error_or(ERROR_WRITE_FAULT);
        if (last) return ERROR_SUCCESS;
        std::swap(current, next);
        current_size = next_size;
    }
}

}  // namespace

BOOL DecryptToTempFile(const wchar_t* source, const wchar_t* temporary) {
    return qen_lib::report(decrypt_to_temp(source, temporary));
}

BOOL DecryptDataFile(const wchar_t* source, const wchar_t* target) {
    std::wstring temporary, payload_target;
    try {
        temporary = std::wstring(source) + L".tmp";
        payload_target = target;
    } catch (const std::bad_alloc&) {
        return qen_lib::report(ERROR_NOT_ENOUGH_MEMORY);
    }
    // Whoever reads the target finds either the old file or the verified
    // payload, never plaintext whose trailer has not been checked, and after
    // a power loss never a name without its data; a failure leaves an
    // existing target as it was.
    DWORD error = decrypt_to_temp(source, temporary.c_str());
    if (error == ERROR_SUCCESS) {
        error = static_cast<DWORD>(FU_ReplaceFile(payload_target, [&temporary](const std::wstring& payload) {
            return ExtractVerifiedPayload(temporary.c_str(), payload.c_str())
                       ? 0
                       : static_cast<int>(qen_lib::last_error_or(static_cast<DWORD>(NTE_BAD_DATA)));
        }));
    } else {
        FU_DeleteNewFile(payload_target);  // left over from a run that was cut short
    }
    DeleteFileW(temporary.c_str());
    return qen_lib::report(error);
}
