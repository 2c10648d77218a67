// Second pass over a deciphered envelope: the payload out, its trailer checked.
#include <cstdint>

#include "envelope_files.h"
#include "envelope_key_blob.h"
#include "qen_lib/crypto/hmac.h"
#include "qen_lib/envelope/envelope.h"
#include "win/win_result.h"

using envelope_files::BLOCK;

namespace {

constexpr DWORD LENGTH_FIELD = 8;
constexpr DWORD TRAILER = SHA256_DIGEST_SIZE;

// Exactly size bytes; fewer at the end of the file is a format failure.
DWORD read_field(const win::FileHandle& file, BYTE* data, DWORD size) {
    DWORD got = 0;
    if (!envelope_files::read_some(file, data, size, &got)) return qen_lib::last_error_or(ERROR_READ_FAULT);
    return got == size ? ERROR_SUCCESS : static_cast<DWORD>(NTE_BAD_DATA);
}

DWORD extract(const wchar_t* temporary, const wchar_t* target) {
    const win::FileHandle in = envelope_files::open_for_reading(temporary);
    if (!in) return qen_lib::last_error_or(ERROR_OPEN_FAILED);
    const win::FileHandle out = envelope_files::create_for_writing(target);
    if (!out) return qen_lib::last_error_or(ERROR_OPEN_FAILED);

    BYTE length_field[LENGTH_FIELD];
    if (const DWORD error = read_field(in, length_field, LENGTH_FIELD)) return error;
    std::uint64_t remaining = 0;
    for (DWORD i = LENGTH_FIELD; i-- > 0;) remaining = (remaining << 8) | length_field[i];

    hmac_context mac;
    hmac_sha256_init(mac, ENVELOPE_KEY_BLOB, sizeof ENVELOPE_KEY_BLOB);
    BYTE block[BLOCK];
    while (remaining != 0) {
        const DWORD want = remaining < BLOCK ? static_cast<DWORD>(remaining) : BLOCK;
        DWORD got = 0;
        if (!envelope_files::read_some(in, block, want, &got)) return qen_lib::last_error_or(ERROR_READ_FAULT);
        if (got == 0) return static_cast<DWORD>(NTE_BAD_DATA);
        if (!envelope_files::write_all(out, block, got)) return qen_lib::last_error_or(ERROR_WRITE_FAULT);
        hmac_update(mac, block, got);
        remaining -= got;
    }
    BYTE expected[TRAILER], stored[TRAILER];
    hmac_final(expected, mac);
    if (const DWORD error = read_field(in, stored, TRAILER)) return error;
    BYTE difference = 0;
    for (DWORD i = 0; i < TRAILER; ++i) difference |= expected[i] ^ stored[i];
    return difference == 0 ? ERROR_SUCCESS : static_cast<DWORD>(NTE_BAD_DATA);
}

}  // namespace

BOOL ExtractVerifiedPayload(const wchar_t* temporary, const wchar_t* target) {
    return qen_lib::report(extract(temporary, target));
}
