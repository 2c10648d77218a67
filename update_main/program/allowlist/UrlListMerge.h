#pragma once
// Merges the server's allowed URLs into the auxiliary application's own list
// and keeps a record of what we added there, so that entries the server
// drops later disappear again while entries the user or the auxiliary
// application wrote stay.
#include <string>

#include "allowlist/AllowedUrlListPaths.h"
#include "allowlist/PolicyUrls.h"

// The new auxiliary list is its own lines that are neither in the old record
// nor among the policy URLs, in their order, followed by the policy URLs
// (empty ones left out, duplicates kept); the new record is those policy
// URLs. Without the auxiliary list's folder only the record is written.
// 0, or the error number of the first failed read or write (a system error,
// an errno value, 6 or 29) with failedPath naming its file. The record never
// forgets an entry the auxiliary list may still hold, also when the merge
// stops half-way, so a later merge still takes it out.
int MergeAllowedUrls(CPolicyUrls& policy, const AllowedUrlListPaths& paths, std::wstring& failedPath);
