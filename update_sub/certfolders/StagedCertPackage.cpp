#include "certfolders/StagedCertPackage.h"

#include <windows.h>

#include "certpackage/CertPackageExtraction.h"
#include "fileops/AdminOnlyFolder.h"
#include "qen_lib/file.h"

StagedCertPackage::StagedCertPackage(const std::wstring& baseFolder)
    : m_cabinet(baseFolder + CACERTS_CAB_SUBPATH.c_str()),
      m_staging(baseFolder + CERT_STAGING_SUBDIR.c_str()),
      m_package(m_staging + L"\\package") {}

StagedCertPackage::~StagedCertPackage() {
    // Only this program could write below it, so it is emptied safely.
    if (m_made) qen_lib::file::remove_tree(m_staging);
}

bool StagedCertPackage::Stage() {
    if (!qen_lib::file::make_parent_dirs(m_staging) || !RemakeAdminOnlyFolder(m_staging)) return false;
    m_made = true;
    const std::wstring cabinet = m_staging + L"\\cacerts.cab";
    if (!::CopyFileW(m_cabinet.c_str(), cabinet.c_str(), TRUE)) return false;
    return CheckAndExtractCertPackage(cabinet.c_str(), m_package.c_str()) == CertPackageCheck::Ok;
}
