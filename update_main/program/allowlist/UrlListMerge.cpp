#include "allowlist/UrlListMerge.h"

#include <windows.h>
#include <shlwapi.h>

#include <set>
#include <vector>

#include "qen_lib/fu.h"

namespace {

// What the merge reads and works out.
struct UrlListModel {
    std::wstring currentPath;  // the file being read or written, for the failure report
    std::vector<std::wstring> auxLines;
    std::set<std::wstring> managedUrls;  // every URL we own: old record and policy list
    std::vector<std::wstring> policyUrls;
};

int LineFuncForManagedList(wchar_t* line, void* user) {
    static_cast<std::set<std::wstring>*>(user)->insert(line);
    return 0;
}

int ReadUrlList(UrlListModel& model, const std::wstring& path, FU_LineFunc func, void* lines) {
    model.currentPath = path;
    return FU_TraverseFileEx(path.c_str(), func, lines, FU_SKIP_EMPTY_AND_COMMENTS, FU_TYPE_UTF8);
}

int WriteUrlList(UrlListModel& model, const std::wstring& path, const std::vector<std::wstring>& lines) {
    model.currentPath = path;
    return FU_WriteFileEx(path.c_str(), WriteFuncForList, const_cast<std::vector<std::wstring>*>(&lines),
                          FU_TYPE_UTF8);
}

int LoadUrlLists(UrlListModel& model, const AllowedUrlListPaths& paths) {
    // Without an auxiliary list there is nothing of ours to take out of it.
    if (!FU_FileExists(paths.auxList.c_str())) return 0;
    if (const int error = ReadUrlList(model, paths.auxList, LineFuncForList, &model.auxLines)) return error;
    if (!FU_FileExists(paths.addedRecord.c_str())) return 0;
    return ReadUrlList(model, paths.addedRecord, LineFuncForManagedList, &model.managedUrls);
}

void AddPolicyUrls(UrlListModel& model, CPolicyUrls& policy) {
    policy.MoveFirst();
    while (policy.MoveNext()) {
        // An empty line would say nothing to the auxiliary application.
        if (policy.currentUrl.IsEmpty()) continue;
        model.policyUrls.push_back(policy.currentUrl.str());
        model.managedUrls.insert(policy.currentUrl.str());
    }
}

std::vector<std::wstring> MergedAuxLines(const UrlListModel& model) {
    std::vector<std::wstring> lines;
    for (const std::wstring& line : model.auxLines)
        if (model.managedUrls.count(line) == 0) lines.push_back(line);
    lines.insert(lines.end(), model.policyUrls.begin(), model.policyUrls.end());
    return lines;
}

bool HasParentFolder(const std::wstring& path) {
    const std::wstring::size_type last = path.find_last_of(L"\\/");
    return last != std::wstring::npos && PathIsDirectoryW(path.substr(0, last).c_str());
}

int WriteUrlLists(UrlListModel& model, const AllowedUrlListPaths& paths) {
    // The record first names everything we may have put into the auxiliary
    // list, old and new, and only names the policy URLs alone once that list
    // is written: a failure in between never leaves an entry of ours in the
    // auxiliary list that the record does not name.
    const std::vector<std::wstring> everManaged(model.managedUrls.begin(), model.managedUrls.end());
    if (const int error = WriteUrlList(model, paths.addedRecord, everManaged)) return error;
    // No folder means no auxiliary application: its list is not created.
    if (HasParentFolder(paths.auxList)) {
        if (const int error = WriteUrlList(model, paths.auxList, MergedAuxLines(model))) return error;
    }
    return WriteUrlList(model, paths.addedRecord, model.policyUrls);
}

}  // namespace

int MergeAllowedUrls(CPolicyUrls& policy, const AllowedUrlListPaths& paths, std::wstring& failedPath) {
    // A path that could not be expanded must not turn into a file of that
    // name in the current folder.
    if (paths.auxList.empty() || paths.addedRecord.empty()) {
        failedPath.clear();
        return ERROR_PATH_NOT_FOUND;
    }
    UrlListModel model;
    int error = LoadUrlLists(model, paths);
    if (error == 0) {
        AddPolicyUrls(model, policy);
        error = WriteUrlLists(model, paths);
    }
    failedPath = error != 0 ? model.currentPath : std::wstring();
    return error;
}
