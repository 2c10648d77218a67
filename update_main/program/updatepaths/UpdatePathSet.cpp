#include "updatepaths/UpdatePathSet.h"

#include "allowlist/PathExpansion.h"

ExpandedPathSet::ExpandedPathSet(const UpdatePathSet& paths) : templates(paths) { ExpandPaths(); }

void ExpandedPathSet::ExpandPaths() {
    noUseFlag = ExpandPath(templates.noUseFlag);
    whiteListBase = ExpandPath(templates.whiteListBase);
    downloadedWhiteList = ExpandPath(templates.downloadedWhiteList);
    updateList = ExpandPath(templates.updateList);
    setup = ExpandPath(templates.setup);
    msiPackage = ExpandPath(templates.msiPackage);
}

FingerprintComparison ExpandedPathSet::WhiteListDigests() const {
    return CompareFileFingerprints(whiteListBase + templates.extension, downloadedWhiteList);
}
