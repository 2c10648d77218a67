#include "install/MsiUninstallEntries.h"

#include <algorithm>
#include <cwctype>
#include <iterator>

#include "qen_lib/text.h"

namespace {

constexpr wchar_t kBlanks[] = L" \t\r\n";

// Switches that only set how quiet MsiExec is or keep it from restarting
// Windows; compared without regard to case, as MsiExec reads them.
constexpr const wchar_t* kQuietSwitches[] = {L"/q",   L"/qn",  L"/quiet", L"/passive", L"/qb",
                                             L"/qb-", L"/qb!", L"/qb!-",  L"/qb-!",    L"/norestart"};

std::vector<std::wstring> Words(const std::wstring& text) {
    std::vector<std::wstring> words;
    std::size_t at = text.find_first_not_of(kBlanks);
    while (at != std::wstring::npos) {
        const std::size_t end = text.find_first_of(kBlanks, at);
        words.push_back(text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at));
        at = end == std::wstring::npos ? end : text.find_first_not_of(kBlanks, end);
    }
    return words;
}

std::wstring Trimmed(const std::wstring& text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// "{" 8-4-4-4-12 hexadecimal digits "}".
bool IsBracedGuid(const std::wstring& word) {
    constexpr wchar_t kShape[] = L"{hhhhhhhh-hhhh-hhhh-hhhh-hhhhhhhhhhhh}";
    if (word.size() != std::size(kShape) - 1) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const bool ok = kShape[i] == L'h' ? std::iswxdigit(word[i]) != 0 && word[i] < 0x80 : word[i] == kShape[i];
        if (!ok) return false;
    }
    return true;
}

bool IsQuietSwitch(const std::wstring& word) {
    for (const wchar_t* known : kQuietSwitches)
        if (_wcsicmp(word.c_str(), known) == 0) return true;
    return false;
}

}  // namespace

bool IsMsiUninstall(const std::wstring& entry) {
    const std::vector<std::wstring> words = Words(entry);
    if (words.size() < 2 || (words[0] != L"/x" && words[0] != L"/X") || !IsBracedGuid(words[1])) return false;
    return std::all_of(words.begin() + 2, words.end(), IsQuietSwitch);
}

std::optional<std::wstring> MsiUninstallArguments(const std::wstring& entry) {
    if (!IsMsiUninstall(entry)) return std::nullopt;
    const std::vector<std::wstring> words = Words(entry);
    std::wstring arguments = words[0] + L" " + words[1];
    for (std::size_t i = 2; i < words.size(); ++i)
        if (_wcsicmp(words[i].c_str(), L"/passive") != 0) arguments += L" " + words[i];
    return arguments + L" /q";
}

MsiUninstallEntries SplitMsiUninstallEntries(const std::wstring& uninstallAll) {
    MsiUninstallEntries entries;
    for (const std::wstring& field : qen_lib::text::split_by_string(uninstallAll, L";")) {
        const std::wstring entry = Trimmed(field);
        if (entry.empty()) continue;
        if (std::optional<std::wstring> arguments = MsiUninstallArguments(entry))
            entries.arguments.push_back(*arguments);
        else
            entries.refused.push_back(entry);
    }
    return entries;
}
