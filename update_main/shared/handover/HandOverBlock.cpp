#include "handover/HandOverBlock.h"

#include <algorithm>
#include <cwchar>

#include "qen_lib/envelope/envelope.h"

namespace {

// Cipher-block size of the envelope's cipher: a cipher text is a whole
// number of these.
constexpr DWORD kCipherBlockSize = 8;

// The creating side's block; the process's end closes it when the program
// leaves by another road than CloseHandOverBlock.
struct CreatedBlock {
    win::KernelHandle mapping;
    win::MappedView view;
    DWORD capacity = 0;
} g_created;

void CopyBounded(wchar_t (&target)[HandOverPayload::kUnits], const CString& text) {
    const size_t length = std::min<size_t>(static_cast<size_t>(text.GetLength()), HandOverPayload::kUnits - 1);
    wmemcpy(target, text.GetString(), length);
    target[length] = L'\0';
}

// Closes the handle without losing the error of the call that failed.
bool FailKeepingError(win::KernelHandle& handle) {
    const DWORD error = ::GetLastError();
    handle.reset();
    ::SetLastError(error);
    return false;
}

CString TextOf(const wchar_t (&units)[HandOverPayload::kUnits]) {
    return CString(units, static_cast<int>(wcsnlen(units, HandOverPayload::kUnits)));
}

}  // namespace

HandOverPayload::HandOverPayload(const CString& user, const CString& pass) {
    CopyBounded(userName, user);
    CopyBounded(password, pass);
}

CString HandOverPayload::UserName() const { return TextOf(userName); }

CString HandOverPayload::Password() const { return TextOf(password); }

bool CreateHandOverBlock() {
    win::KernelHandle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                   sizeof(HandOverBlock), HAND_OVER_BLOCK_NAME));
    if (!mapping || mapping.get() == INVALID_HANDLE_VALUE) return false;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        mapping.reset();
        ::SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    win::MappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
    if (!view) return FailKeepingError(mapping);

    CloseHandOverBlock();
    g_created.mapping = std::move(mapping);
    g_created.view = std::move(view);
    g_created.capacity = sizeof(HandOverPayload);
    return true;
}

bool WriteHandOverBlock(const HandOverPayload* payload) {
    if (!g_created.mapping || !g_created.view || !payload || g_created.capacity < sizeof(HandOverPayload)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    // Enciphered aside first: the cipher works in place, so the shared block
    // never holds plain text, not even when the cipher fails.
    BYTE cipher[sizeof HandOverBlock::cipher];
    DWORD length = sizeof cipher;
    const BOOL ok = CryptBuffer(TRUE, reinterpret_cast<const BYTE*>(payload), sizeof *payload, cipher, &length);
    const DWORD error = ::GetLastError();
    if (ok && length <= sizeof cipher) {
        auto* block = static_cast<HandOverBlock*>(g_created.view.get());
        memcpy(block->cipher, cipher, length);
        // The length goes last: a reader takes whatever length it finds.
        static_assert(sizeof(LONG) == sizeof block->cipherLength, "the length is stored as one LONG");
        ::InterlockedExchange(reinterpret_cast<volatile LONG*>(&block->cipherLength), static_cast<LONG>(length));
    }
    ::SecureZeroMemory(cipher, sizeof cipher);
    ::SetLastError(ok ? ERROR_SUCCESS : error);
    return ok && length <= sizeof cipher;
}

void CloseHandOverBlock() {
    g_created.view.reset();
    g_created.mapping.reset();
    g_created.capacity = 0;
}

bool HandOverBlockIsOpen() { return g_created.mapping && g_created.view; }

bool OpenHandOverBlock(win::KernelHandle& mapping, win::MappedView& view, DWORD& decipherSize) {
    view.reset();
    mapping.reset();
    decipherSize = 0;
    win::KernelHandle opened(::OpenFileMappingW(FILE_MAP_READ, FALSE, HAND_OVER_READ_NAME));
    if (!opened) return false;
    win::MappedView mapped(::MapViewOfFile(opened.get(), FILE_MAP_READ, 0, 0, 0));
    if (!mapped) return FailKeepingError(opened);

    // Whoever made the block chose its size: the cipher text must lie inside
    // both the layout and the mapped view.
    MEMORY_BASIC_INFORMATION region{};
    const SIZE_T viewSize = ::VirtualQuery(mapped.get(), &region, sizeof region) ? region.RegionSize : 0;
    const SIZE_T room = std::min<SIZE_T>(sizeof HandOverBlock::cipher,
                                         viewSize > sizeof(uint32_t) ? viewSize - sizeof(uint32_t) : 0);
    const DWORD cipherLength = *static_cast<const volatile uint32_t*>(mapped.get());
    if (cipherLength == 0 || cipherLength > room || cipherLength % kCipherBlockSize != 0) {
        mapped.reset();
        opened.reset();
        ::SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    decipherSize = cipherLength + 16;
    mapping = std::move(opened);
    view = std::move(mapped);
    return true;
}
