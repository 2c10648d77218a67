#pragma once
// The root-certificate package as this program takes it. The main program
// leaves cacerts.cab and what it unpacked in the data folder, which a user
// can change, so none of that is used as it lies: the cabinet is copied into
// a folder that only SYSTEM and the Administrators can write, its signature
// checked there again while it is held open, unpacked again beside it, and
// both stores checked.
#include <string>

#include "fileops/HeldFolder.h"
#include "paths/PathConstants.h"

// Below the common application-data folder.
inline constexpr auto CERT_STAGING_SUBDIR = path_detail::Join(L"\\", TOOL_DIR, L"\\certstaging");

class StagedCertPackage {
public:
    // Touches no file: the package base + CACERTS_CAB_SUBPATH, staged in
    // base + CERT_STAGING_SUBDIR.
    explicit StagedCertPackage(const std::wstring& baseFolder);
    // Removes the staging folder when Stage made it.
    ~StagedCertPackage() { m_folder.Remove(); }
    StagedCertPackage(const StagedCertPackage&) = delete;
    StagedCertPackage& operator=(const StagedCertPackage&) = delete;

    // Makes the staging folder anew and holds it (HeldFolder), copies the cabinet into it, checks the
    // copy's signer (the maker's), unpacks it into PackageFolder() and checks
    // both stores there. False, with the last error where one is left, at the
    // first step that fails.
    bool Stage();

    const std::wstring& StagingFolder() const { return m_staging; }
    // Holds cs1 and cs2 after Stage.
    const std::wstring& PackageFolder() const { return m_package; }

private:
    std::wstring m_base;
    std::wstring m_cabinet;
    std::wstring m_staging;
    std::wstring m_package;
    HeldFolder m_folder;
};
