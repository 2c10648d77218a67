#pragma once
// The named shared memory of the main program. Creating it is the program's
// single-instance guard; it also keeps, enciphered, the proxy credentials that
// the user entered, for a reader under another name.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "framework/CString.h"
#include "win/handle.h"

// Created by the main program; a second copy of the program finds it taken.
inline constexpr wchar_t HAND_OVER_BLOCK_NAME[] = L"MMF:ZRVUpgradeToolV5.0";
// Opened read-only to look for stored credentials; nothing here creates it.
inline constexpr wchar_t HAND_OVER_READ_NAME[] = L"MMF:ZRVUpgradeTool";

// The plain payload: the proxy user name and password, 256 UTF-16 units each,
// each ended by a NUL within its units. Wiped when it goes.
struct HandOverPayload {
    static constexpr size_t kUnits = 256;

    HandOverPayload() = default;
    // Each text is cut to kUnits - 1 characters so that its NUL always fits.
    HandOverPayload(const CString& user, const CString& password);
    HandOverPayload(const HandOverPayload&) = default;
    HandOverPayload& operator=(const HandOverPayload&) = default;
    ~HandOverPayload() { ::SecureZeroMemory(this, sizeof *this); }

    // Each text up to its first NUL, never past its own units.
    CString UserName() const;
    CString Password() const;

    wchar_t userName[kUnits] = {};
    wchar_t password[kUnits] = {};
};
// The layout is shared with another process and must not follow the build:
// UTF-16 units, the password at byte 512, no padding in either build.
static_assert(sizeof(wchar_t) == 2, "the texts are UTF-16 units");
static_assert(offsetof(HandOverPayload, userName) == 0, "the user name opens the payload");
static_assert(offsetof(HandOverPayload, password) == 512, "the password is at byte 512");
static_assert(sizeof(HandOverPayload) == 1024, "the payload is 1024 bytes");

// The whole mapping, little-endian: the cipher length, then the cipher text of
// the payload (the cipher adds at most 16 bytes).
struct HandOverBlock {
    uint32_t cipherLength;
    BYTE cipher[sizeof(HandOverPayload) + 16];
};
static_assert(sizeof(HandOverBlock::cipherLength) == 4, "the cipher length is 32 bits");
static_assert(offsetof(HandOverBlock, cipher) == 4, "the cipher text follows the length");
static_assert(sizeof(HandOverBlock::cipher) == 1040, "the cipher text has 1040 bytes");
static_assert(sizeof(HandOverBlock) == 1044, "the block is 1044 bytes");

// Creates and maps the block. False with the thread's last error set;
// ERROR_ALREADY_EXISTS means another copy of the program holds it.
bool CreateHandOverBlock();
// Enciphers the payload into the block. False with ERROR_INVALID_PARAMETER
// when no block is open, or with the cipher's error; the block stays as it
// was either way, and so does the guard.
bool WriteHandOverBlock(const HandOverPayload* payload);
// Unmaps and closes the block; nothing happens when none is open.
void CloseHandOverBlock();
// True while this process holds the block it created.
bool HandOverBlockIsOpen();
// Opens HAND_OVER_READ_NAME read-only. On true the caller holds the mapping
// and its view, and decipherSize is the buffer that deciphering needs. A
// cipher length that does not fit the block and its view, or is not a whole
// number of cipher blocks, is refused with ERROR_INVALID_DATA.
bool OpenHandOverBlock(win::KernelHandle& mapping, win::MappedView& view, DWORD& decipherSize);
