#include "rootcerts/RootCertPackage.h"

#include "certpackage/CertIndexPaths.h"
#include "certpackage/CertPackageExtraction.h"
#include "messages/UserMessages.h"
#include "paths/PathConstants.h"

namespace {

int Fail(CString& message, ErrorNumber number) {
    message = ErrorText(number);
    return 0;
}

}  // namespace

int UpdateRootCertPackage(const std::wstring& baseFolder, int& newer, CString& message, const wchar_t* installDir) {
    newer = 0;
    const std::wstring cabinet = baseFolder + CACERTS_CAB_SUBPATH.c_str();
    const std::wstring packageFolder = baseFolder + CACERTS_SUBDIR.c_str();

    switch (CheckAndExtractCertPackage(cabinet.c_str(), packageFolder.c_str())) {
    case CertPackageCheck::SignerRefused:
        return Fail(message, K603);
    case CertPackageCheck::Unusable:
        return Fail(message, K604);
    case CertPackageCheck::Ok:
        break;
    }

    CertIndexPaths paths;
    if (!paths.Build(installDir)) return 1;
    if (!paths.IsNewerCertPackage(packageFolder.c_str(), newer)) return Fail(message, K604);
    return 1;
}
