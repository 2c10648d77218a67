#include "allowlist/AllowedUrlListUpdater.h"

#include <windows.h>

#include <vector>

#include "allowlist/UrlListMerge.h"
#include "qen_lib/fu.h"

namespace {

int LineFuncForPolicyList(wchar_t* text, void* user) {
    CString line(text);
    line.Trim();
    if (!line.IsEmpty() && line.GetAt(0) == L'#') return 0;
    // Only the line as a whole is trimmed: the fields keep blanks around
    // their commas.
    std::vector<CString> fields;
    SplitByComma(line, fields);
    static_cast<CPolicyUrls*>(user)->Add(fields[0], fields.size() >= 2 ? fields[1] : CString());
    return 0;
}

}  // namespace

AllowedUrlListUpdater::AllowedUrlListUpdater() : m_paths(DefaultAllowedUrlListPaths()) {}

AllowedUrlListUpdater::AllowedUrlListUpdater(const AllowedUrlListPaths& paths) : m_paths(paths) {}

int AllowedUrlListUpdater::ReadPolicyUrls(CPolicyUrls& entries) const {
    return FU_TraverseFileEx(m_paths.installedList.c_str(), LineFuncForPolicyList, &entries, 0, FU_TYPE_UTF8);
}

int AllowedUrlListUpdater::Run() {
    CPolicyUrls policy;
    int error = ReadPolicyUrls(policy);
    if (error != 0)
        m_failedPath = m_paths.installedList;
    else
        error = MergeAllowedUrls(policy, m_paths, m_failedPath);
    // The installed list stands for "merged": one that was not must not look
    // unchanged to the next run.
    if (error != 0) DeleteFileW(m_paths.installedList.c_str());
    return error;
}
