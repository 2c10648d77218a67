#include "updatepaths/UpdatePathSet.h"

#include "paths/PathConstants.h"
#include "paths/PathExpansion.h"

UpdatePathSet StandardUpdatePaths() {
    UpdatePathSet paths;
    paths.noUseFlag = NO_USE_FLAG_PATH;
    paths.whiteListBase = WHITE_LIST_BASE_PATH;
    paths.extension = TXT_EXT;
    paths.downloadedWhiteList = WHITE_LIST_PATH;
    paths.updateList = UPDATE_LIST_PATH;
    paths.setup = SETUP_EXE_PATH;
    paths.msiPackage = AUX_APP_MSI_PATH;
    return paths;
}

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
