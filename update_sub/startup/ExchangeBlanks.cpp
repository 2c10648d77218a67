#include "startup/ExchangeBlanks.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "entries/EntryItself.h"
#include "fileops/HandleContents.h"
#include "fileops/HeldFolder.h"
#include "fileops/IniFileBytes.h"
#include "fileops/OpenedEntry.h"
#include "paths/PathConstants.h"
#include "qen_lib/log.h"
#include "settings/UpdateDataStore.h"
#include "win/handle.h"

namespace {

// Far more than any exchange file the main program writes.
constexpr std::size_t kExchangeFileLimit = 16u * 1024u * 1024u;

bool NotBlanked(int line, const wchar_t* reason, const std::wstring& path) {
    qen_lib::log::report(L"BlankExchangeOrders", line, L"%ls(0x%08x): %ls", reason,
                         static_cast<unsigned>(::GetLastError()), path.c_str());
    return false;
}

// The bytes with every order blanked; nothing when they cannot be kept in
// the file's encoding.
std::optional<std::string> Blanked(std::string bytes) {
    for (const IniKey& order : WITHDRAWN_ORDERS) {
        std::optional<std::string> next = WithIniValue(bytes, order.section, order.key, L"");
        if (!next) return std::nullopt;
        bytes = std::move(*next);
    }
    return bytes;
}

}  // namespace

bool BlankExchangeOrders(const std::wstring& baseFolder) {
    HeldFolder data;
    if (baseFolder.empty() || !data.Hold(baseFolder, DATA_SUBDIR.c_str()))
        return NotBlanked(__LINE__, L"Data folder not held", baseFolder + DATA_SUBDIR.c_str());
    const std::wstring path = data.Path() + L"\\" + DATA_INI_NAME;
    // Nobody else writes while the orders are blanked.
    const win::FileHandle file = OpenItself(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    if (!file) return NotBlanked(__LINE__, L"Exchange file not opened", path);
    if (!IsPlainFileAt(file.get(), path)) {
        ::SetLastError(ERROR_CANT_RESOLVE_FILENAME);
        return NotBlanked(__LINE__, L"Exchange file not a plain file with one name", path);
    }
    const std::optional<std::string> bytes = ReadWholeFile(file.get(), kExchangeFileLimit);
    if (!bytes) return NotBlanked(__LINE__, L"Exchange file not read", path);
    const std::optional<std::string> blanked = Blanked(*bytes);
    if (!blanked) {
        ::SetLastError(ERROR_UNSUPPORTED_TYPE);
        return NotBlanked(__LINE__, L"Exchange file in an encoding of its own", path);
    }
    if (*blanked != *bytes && !WriteWholeFile(file.get(), *blanked))
        return NotBlanked(__LINE__, L"Exchange file not written", path);
    return true;
}
