#include "messages/NewlineMarks.h"

namespace {

constexpr wchar_t kNewlineMark[] = L"(NL)";
constexpr std::size_t kNewlineMarkLength = 4;

}  // namespace

std::wstring ExpandNewlineMarks(const std::wstring& text) {
    // A line feed never forms a new mark with its neighbours, so one pass
    // from the left replaces what repeated first-match replacement would.
    std::wstring expanded;
    std::size_t from = 0;
    for (std::size_t at = text.find(kNewlineMark); at != std::wstring::npos; at = text.find(kNewlineMark, from)) {
        expanded.append(text, from, at - from);
        expanded += L'\n';
        from = at + kNewlineMarkLength;
    }
    expanded.append(text, from, std::wstring::npos);
    return expanded;
}
