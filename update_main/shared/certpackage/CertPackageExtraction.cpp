#include "certpackage/CertPackageExtraction.h"

#include <setupapi.h>
#include <shlobj.h>

#include <cwctype>

#include "qen_lib/file.h"
#include "qen_lib/signer/VerifyFileSigner.h"
#include "vornpath/pki/CheckCertStore.h"
#include "win/handle.h"

namespace {

bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(c));
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
        stem == L"CONOUT$")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'0' && stem[3] <= L'9';
}

bool IsPlainFileName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") return false;
    // Windows drops trailing dots and blanks, so such a name means another file.
    if (name.back() == L'.' || name.back() == L' ') return false;
    for (const wchar_t c : name)
        if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c)) return false;
    return !IsDeviceName(name);
}

UINT Stop(CabinetExtraction& extraction, DWORD error) {
    if (extraction.error == ERROR_SUCCESS) extraction.error = error;
    ::SetLastError(error);
    return FILEOP_ABORT;
}

UINT PlaceFile(CabinetExtraction& extraction, FILE_IN_CABINET_INFO_W& file) {
    const std::wstring name = file.NameInCabinet;
    if (!IsCertPackageMemberName(name)) return Stop(extraction, ERROR_INVALID_DATA);
    const std::wstring target = extraction.packageFolder + L'\\' + name;
    // Written whole or not at all: a cut path would name another file.
    if (target.size() >= MAX_PATH) return Stop(extraction, ERROR_FILENAME_EXCED_RANGE);
    const std::wstring folder = target.substr(0, target.rfind(L'\\'));
    const int made = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS) return Stop(extraction, static_cast<DWORD>(made));
    // A cabinet that names a file twice leaves its last copy, never a mix.
    if (!::DeleteFileW(target.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return Stop(extraction, ::GetLastError());
    lstrcpynW(file.FullTargetName, target.c_str(), MAX_PATH);
    return FILEOP_DOIT;
}

}  // namespace

bool IsCertPackageMemberName(const std::wstring& nameInCabinet) {
    const size_t separator = nameInCabinet.find(L'\\');
    if (separator == std::wstring::npos) return false;
    const std::wstring store = nameInCabinet.substr(0, separator);
    return (store == L"cs1" || store == L"cs2") && IsPlainFileName(nameInCabinet.substr(separator + 1));
}

UINT CALLBACK CabinetFileCallback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
    auto& extraction = *static_cast<CabinetExtraction*>(context);
    if (extraction.error != ERROR_SUCCESS) return notification == SPFILENOTIFY_FILEINCABINET ? FILEOP_ABORT : NO_ERROR;
    switch (notification) {
    case SPFILENOTIFY_FILEINCABINET:
        return PlaceFile(extraction, *reinterpret_cast<FILE_IN_CABINET_INFO_W*>(param1));
    case SPFILENOTIFY_FILEEXTRACTED: {
        const auto& paths = *reinterpret_cast<const FILEPATHS_W*>(param1);
        if (paths.Win32Error != NO_ERROR) Stop(extraction, paths.Win32Error);
        return paths.Win32Error;
    }
    default:
        return NO_ERROR;
    }
}

BOOL ExtractCertPackage(const wchar_t* cabinet, const wchar_t* packageFolder) {
    // Nothing of an earlier, larger package may stay beside the new one.
    if (!qen_lib::file::remove_tree(packageFolder)) return FALSE;
    CabinetExtraction extraction;
    extraction.packageFolder = packageFolder;
    const BOOL iterated = ::SetupIterateCabinetW(cabinet, 0, CabinetFileCallback, &extraction);
    const DWORD iterateError = iterated ? ERROR_SUCCESS : ::GetLastError();
    if (iterated && extraction.error == ERROR_SUCCESS) return TRUE;
    // The callback's own reason first: the platform may report a stop as its own.
    const DWORD error = extraction.error != ERROR_SUCCESS ? extraction.error : iterateError;
    ::SetLastError(error != ERROR_SUCCESS ? error : ERROR_INVALID_DATA);
    return FALSE;
}

CertPackageCheck CheckAndExtractCertPackage(const wchar_t* cabinet, const wchar_t* packageFolder) {
    {
        win::FileHandle held;
        if (!VerifyFileSigner(cabinet, SIGNER_KIND_MAKER, held)) return CertPackageCheck::SignerRefused;
        if (!ExtractCertPackage(cabinet, packageFolder)) return CertPackageCheck::Unusable;
    }
    for (const wchar_t* store : {L"\\cs1", L"\\cs2"}) {
        if (CheckCertStore((std::wstring(packageFolder) + store).c_str()) != CHECK_STORE_OK) {
            ::SetLastError(ERROR_INVALID_DATA);
            return CertPackageCheck::Unusable;
        }
    }
    return CertPackageCheck::Ok;
}
