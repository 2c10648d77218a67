// The texts of the rule database: the uninstall commands that the secondary
// program hands to MsiExec, and their joined list.
#include <cwchar>

#include "rules/UpdateDatabase.h"

namespace {

// Shell characters, the list separator and the quote.
constexpr wchar_t kForbidden[] = L"|&<>;\"";

// C0 and C1 controls and DEL: a line break or the like would split or
// bend the command in the exchange file and on MsiExec's command line.
bool IsControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

}  // namespace

bool CheckCommandText(const std::wstring& text) {
    if (text.size() > kMaxExchangeTextChars) return false;
    for (const wchar_t c : text)
        if (IsControl(c) || std::wcschr(kForbidden, c)) return false;
    return true;
}

std::wstring UpdateDatabase::JoinCommands() const {
    std::wstring joined;
    for (const CommandEntry& command : db.commands) joined += L" ;" + command.text;
    return joined;
}
