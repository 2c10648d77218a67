#include "certpackage/CertPackageExtraction.h"

#include <setupapi.h>

#include <cwchar>
#include <cwctype>
#include <new>
#include <string_view>
#include <vector>

#include "qen_lib/signer/VerifyFileSigner.h"
#include "vornpath/pki/CheckCertStore.h"
#include "win/handle.h"

namespace {

// Win32 takes a name for a device by its stem before the first dot, blanks
// at the stem's end dropped ("CON .cer"), and counts the superscript digits
// among the digits of COM and LPT.
bool IsDeviceName(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    stem.erase(stem.find_last_not_of(L' ') + 1);
    for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(c));
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
        stem == L"CONOUT$")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           std::wstring_view(L"0123456789\u00B9\u00B2\u00B3").find(stem[3]) != std::wstring_view::npos;
}

// A part of a member's name that could lead out of the package folder or to
// another file than it names: empty (a rooted or UNC name, or "\\"), "." or
// "..", a drive or stream (":"), a device, or one that Windows would trim.
bool IsEscapingPart(const std::wstring& part) {
    if (part.empty() || part == L"." || part == L"..") return true;
    if (part.back() == L'.' || part.back() == L' ') return true;
    return part.find(L':') != std::wstring::npos || IsDeviceName(part);
}

// No character that Windows refuses in a file name (the part has passed
// IsEscapingPart already).
bool HasOnlyNameCharacters(const std::wstring& name) {
    for (const wchar_t c : name)
        if (c < 0x20 || wcschr(L"\\/*?\"<>|", c)) return false;
    return true;
}

// The name's parts between "\" and "/", both of which Windows takes for a
// folder separator.
std::vector<std::wstring> NameParts(const std::wstring& name) {
    std::vector<std::wstring> parts(1);
    for (const wchar_t c : name) {
        if (c == L'\\' || c == L'/')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

UINT Stop(CabinetExtraction& extraction, DWORD error) {
    if (extraction.error == ERROR_SUCCESS) extraction.error = error;
    ::SetLastError(error);
    return FILEOP_ABORT;
}

UINT PlaceFile(CabinetExtraction& extraction, FILE_IN_CABINET_INFO_W& file) {
    std::wstring storeFile;
    switch (ClassifyCertPackageMember(file.NameInCabinet, storeFile)) {
    case CertPackageMember::Other:
        return FILEOP_SKIP;
    case CertPackageMember::Refused:
        return Stop(extraction, ERROR_INVALID_DATA);
    case CertPackageMember::StoreFile:
        break;
    }
    const std::wstring target = extraction.folder.Path() + L'\\' + storeFile;
    // Written whole or not at all: a cut path would name another file.
    if (target.size() >= MAX_PATH) return Stop(extraction, ERROR_FILENAME_EXCED_RANGE);
    // Written by path: only while that path leads into the folder held.
    if (!extraction.folder.LeadsToHeldStore(storeFile.substr(0, storeFile.find(L'\\'))))
        return Stop(extraction, ERROR_CANT_RESOLVE_FILENAME);
    // A cabinet that names a file twice leaves its last copy, never a mix.
    if (!::DeleteFileW(target.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return Stop(extraction, ::GetLastError());
    lstrcpynW(file.FullTargetName, target.c_str(), MAX_PATH);
    return FILEOP_DOIT;
}

}  // namespace

namespace detail {

IterateCabinet& CabinetIteration() {
    static IterateCabinet iterate = ::SetupIterateCabinetW;
    return iterate;
}

}  // namespace detail

CertPackageMember ClassifyCertPackageMember(const std::wstring& nameInCabinet, std::wstring& storeFile) {
    const std::vector<std::wstring> parts = NameParts(nameInCabinet);
    for (const std::wstring& part : parts)
        if (IsEscapingPart(part)) return CertPackageMember::Refused;
    if (parts.size() != 2) return CertPackageMember::Other;
    // Windows folders ignore case: "CS1" is the store "cs1".
    const wchar_t* store = _wcsicmp(parts[0].c_str(), L"cs1") == 0   ? L"cs1"
                           : _wcsicmp(parts[0].c_str(), L"cs2") == 0 ? L"cs2"
                                                                     : nullptr;
    if (!store) return CertPackageMember::Other;
    if (!HasOnlyNameCharacters(parts[1])) return CertPackageMember::Refused;
    storeFile = std::wstring(store) + L'\\' + parts[1];
    return CertPackageMember::StoreFile;
}

UINT CALLBACK CabinetFileCallback(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
    auto& extraction = *static_cast<CabinetExtraction*>(context);
    if (extraction.error != ERROR_SUCCESS) return notification == SPFILENOTIFY_FILEINCABINET ? FILEOP_ABORT : NO_ERROR;
    switch (notification) {
    case SPFILENOTIFY_FILEINCABINET:
        try {
            return PlaceFile(extraction, *reinterpret_cast<FILE_IN_CABINET_INFO_W*>(param1));
        } catch (const std::bad_alloc&) {
            return Stop(extraction, ERROR_NOT_ENOUGH_MEMORY);
        }
    case SPFILENOTIFY_FILEEXTRACTED: {
        const auto& paths = *reinterpret_cast<const FILEPATHS_W*>(param1);
        if (paths.Win32Error != NO_ERROR) Stop(extraction, paths.Win32Error);
        return paths.Win32Error;
    }
    default:
        return NO_ERROR;
    }
}

BOOL ExtractCertPackage(const wchar_t* cabinet, const wchar_t* packageFolder, CertPackageFolder& folder) {
    if (!folder.Make(packageFolder)) return FALSE;
    CabinetExtraction extraction{folder};
    const BOOL iterated = detail::CabinetIteration()(cabinet, 0, CabinetFileCallback, &extraction);
    const DWORD iterateError = iterated ? ERROR_SUCCESS : ::GetLastError();
    if (iterated && extraction.error == ERROR_SUCCESS) return TRUE;
    // The callback's own reason first: the platform may report a stop as its own.
    const DWORD error = extraction.error != ERROR_SUCCESS ? extraction.error : iterateError;
    ::SetLastError(error != ERROR_SUCCESS ? error : ERROR_INVALID_DATA);
    return FALSE;
}

CertPackageCheck CheckAndExtractCertPackage(const wchar_t* cabinet, const wchar_t* packageFolder) {
    // Held until the stores are checked: what is checked is what was unpacked.
    CertPackageFolder folder;
    {
        win::FileHandle held;
        if (!VerifyFileSigner(cabinet, SIGNER_KIND_MAKER, held)) return CertPackageCheck::SignerRefused;
        if (!ExtractCertPackage(cabinet, packageFolder, folder)) return CertPackageCheck::Unusable;
    }
    for (const wchar_t* store : {L"\\cs1", L"\\cs2"}) {
        if (CheckCertStore((std::wstring(packageFolder) + store).c_str()) != CHECK_STORE_OK) {
            ::SetLastError(ERROR_INVALID_DATA);
            return CertPackageCheck::Unusable;
        }
    }
    return CertPackageCheck::Ok;
}
