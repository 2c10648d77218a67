#pragma once
// The entries of the allowed-URL list that the update server publishes: a URL
// and, after a comma, a second field that we keep but do not use.
#include <cstddef>
#include <utility>
#include <vector>

#include "framework/CString.h"

class CPolicyUrls {
public:
    // Appends an entry; duplicates are kept.
    void Add(const CString& url, const CString& extra);
    // Makes the next MoveNext take the first entry.
    void MoveFirst() { cursor = 0; }
    // Takes the entry at the cursor into currentUrl and currentExtra and
    // advances; false at the end.
    bool MoveNext();

    CString currentExtra;
    CString currentUrl;

private:
    std::size_t cursor = 0;
    std::vector<std::pair<CString, CString>> entries;
};

// Replaces fields with the text's fields between commas, in order; a text
// without a comma, the empty text included, is one field.
void SplitByComma(const CString& text, std::vector<CString>& fields);
