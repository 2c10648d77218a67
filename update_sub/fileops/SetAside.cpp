#include "fileops/SetAside.h"

#include <windows.h>
#include <wincrypt.h>

#include <cwchar>

#include "entries/EntryItself.h"
#include "environment/TimeStamp.h"
#include "fileops/OpenedEntry.h"
#include "win/handle.h"

namespace {

// New random names tried when a name is taken (which a user cannot aim at).
constexpr int kNameTries = 4;

// The time to the second, so that the names sort by when they were set aside.
std::wstring TimePart() {
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    return TimeStampText(now);
}

bool RandomPart(std::wstring& part) {
    win::CryptProv provider;
    if (!::CryptAcquireContextW(provider.put(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
        return false;
    BYTE bytes[8];
    if (!::CryptGenRandom(provider.get(), sizeof bytes, bytes)) return false;
    part.clear();
    for (const BYTE b : bytes) {
        wchar_t hex[3];
        std::swprintf(hex, 3, L"%02x", b);
        part += hex;
    }
    return true;
}

// The entry itself, a link not followed, opened to be renamed. Refused
// when the path reads back as a link but the handle does not: then the
// handle reached what the link leads to (Wine follows a host link on every
// open), and renaming it would move that instead.
win::FileHandle OpenEntry(const std::wstring& path) {
    win::FileHandle entry = OpenItself(path, DELETE | SYNCHRONIZE | FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!entry || !::GetFileInformationByHandle(entry.get(), &info)) return {};
    const DWORD linkBit = FILE_ATTRIBUTE_REPARSE_POINT;
    if ((EntryAttributes(entry.get(), path) & linkBit) == (info.dwFileAttributes & linkBit)) return entry;
    ::SetLastError(ERROR_CANT_RESOLVE_FILENAME);
    return {};
}

}  // namespace

bool SetAside(const std::wstring& path) {
    const win::FileHandle entry = OpenEntry(path);
    if (!entry) return false;
    std::wstring random;
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        if (!RandomPart(random)) return false;
        if (RenameOpened(entry.get(), path + L".aside" + TimePart() + L"-" + random, false)) return true;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}
