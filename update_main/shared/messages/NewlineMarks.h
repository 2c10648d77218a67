#pragma once
// The "(NL)" marks with which the rule database and the exchange file write
// a line break into a one-line text.
#include <string>

// Every "(NL)" replaced by a line feed.
std::wstring ExpandNewlineMarks(const std::wstring& text);
