#include "rootcerts/RootCertPackage.h"

#include "certpackage/CertIndexPaths.h"
#include "certpackage/CertPackageExtraction.h"
#include "messages/UserMessages.h"
#include "paths/PathConstants.h"
#include "qen_lib/signer/VerifyFileSigner.h"
#include "vornpath/pki/CheckCertStore.h"
#include "win/handle.h"

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

    // Held from the check to the end of the extraction: the cabinet unpacked
    // is the one whose signature was checked.
    win::FileHandle held;
    if (!VerifyFileSigner(cabinet.c_str(), SIGNER_KIND_MAKER, held)) return Fail(message, K603);
    if (!ExtractCertPackage(cabinet.c_str(), packageFolder.c_str())) return Fail(message, K604);
    held.reset();

    for (const wchar_t* store : {L"\\cs1", L"\\cs2"})
        if (CheckCertStore((packageFolder + store).c_str()) != CHECK_STORE_OK) return Fail(message, K604);

    CertIndexPaths paths;
    if (!paths.Build(installDir)) return 1;
    if (!paths.IsNewerCertPackage(packageFolder.c_str(), newer)) return Fail(message, K604);
    return 1;
}
