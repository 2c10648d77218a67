#include "allowlist/PolicyUrls.h"

void CPolicyUrls::Add(const CString& url, const CString& extra) { entries.emplace_back(url, extra); }

bool CPolicyUrls::MoveNext() {
    if (cursor >= entries.size()) return false;
    currentUrl = entries[cursor].first;
    currentExtra = entries[cursor].second;
    ++cursor;
    return true;
}

void SplitByComma(const CString& text, std::vector<CString>& fields) {
    fields.clear();
    int start = 0;
    for (int comma = text.Find(L','); comma >= 0; comma = text.Find(L',', start)) {
        fields.push_back(text.Mid(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(text.Mid(start));
}
