#pragma once
// One merge of the installed allowed-URL list into the auxiliary
// application's list, as the update flow runs it after installing a changed
// list.
#include <string>

#include "allowlist/AllowedUrlListPaths.h"
#include "allowlist/PolicyUrls.h"

class AllowedUrlListUpdater {
public:
    // The files of this PC.
    AllowedUrlListUpdater();
    explicit AllowedUrlListUpdater(const AllowedUrlListPaths& paths);

    // Reads the installed list (UTF-8): each line trimmed of blanks at both
    // ends, "#" lines skipped, every other line split at its commas into the
    // URL and a second field. 0, or the reader's error; entries may then be
    // partly filled.
    int ReadPolicyUrls(CPolicyUrls& entries) const;

    // Reads the installed list and merges it (MergeAllowedUrls). A list
    // that cannot be read changes nothing. On any failure the installed list
    // is deleted, so that the next run finds it changed and installs and
    // merges it again. 0, or the error number with FailedPath naming its file.
    int Run();

    const std::wstring& FailedPath() const { return m_failedPath; }

private:
    AllowedUrlListPaths m_paths;
    std::wstring m_failedPath;
};
