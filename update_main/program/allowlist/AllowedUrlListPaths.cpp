#include "allowlist/AllowedUrlListPaths.h"

#include "paths/PathConstants.h"
#include "paths/PathExpansion.h"

namespace {

constexpr wchar_t kAuxListTemplate[] = L"%ProgramData%\\obla\\Pelmarch\\prop\\ObWhiteList.txt";
constexpr wchar_t kAddedRecordTemplate[] = L"%ProgramData%\\ZRV\\Velmo\\whitelist\\added_ObWhiteList.txt";

}  // namespace

AllowedUrlListPaths DefaultAllowedUrlListPaths() {
    AllowedUrlListPaths paths;
    paths.installedList = ExpandPath(WHITE_LIST_BASE_PATH.c_str() + std::wstring(TXT_EXT));
    paths.auxList = ExpandPath(kAuxListTemplate);
    paths.addedRecord = ExpandPath(kAddedRecordTemplate);
    return paths;
}
