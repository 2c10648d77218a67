#pragma once
// Dotted version texts and their numbers: what the auxiliary application's
// update check, the Windows-version gate and the exchange file compare.
#include <string>
#include <vector>

class VersionNumber {
public:
    // Keeps the text as given and splits it at every "."; a piece that is
    // empty or not wholly a number counts 0, so "" is the single part 0, and
    // a number beyond the int range counts as the end of the range it passed.
    explicit VersionNumber(const std::wstring& text = std::wstring());
    // The numbers as given; the text is the numbers joined with ".".
    VersionNumber(const int* first, const int* last);

    const std::wstring& text() const { return m_text; }
    const std::vector<int>& parts() const { return m_parts; }

    // Position by position as signed numbers, the shorter list padded with
    // zeros: 1.2 and 1.2.0 are equal, 1.10 is above 1.9.
    friend bool operator<(const VersionNumber& a, const VersionNumber& b);

private:
    std::wstring m_text;
    std::vector<int> m_parts;
};

// Each number in decimal, joined with "."; empty for no numbers.
std::wstring JoinVersionParts(const int* first, const int* last);

// Splits at the first `delimiter`: head is the text before it and rest the
// text after it, and the result is its position. Without one the result is
// -1, head is the whole text and rest is left as it was.
int SplitAtFirst(const std::wstring& text, wchar_t delimiter, std::wstring& head, std::wstring& rest);
