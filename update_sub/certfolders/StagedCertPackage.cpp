#include "certfolders/StagedCertPackage.h"

#include <windows.h>

#include "certpackage/CertPackageExtraction.h"

StagedCertPackage::StagedCertPackage(const std::wstring& baseFolder)
    : m_base(baseFolder),
      m_cabinet(baseFolder + CACERTS_CAB_SUBPATH.c_str()),
      m_staging(baseFolder + CERT_STAGING_SUBDIR.c_str()),
      m_package(m_staging + L"\\package") {}

bool StagedCertPackage::Stage() {
    if (!m_folder.Make(m_base, CERT_STAGING_SUBDIR.c_str(), 1, HeldFolder::Last::Remade)) return false;
    const std::wstring cabinet = m_staging + L"\\cacerts.cab";
    if (!::CopyFileW(m_cabinet.c_str(), cabinet.c_str(), TRUE)) return false;
    return CheckAndExtractCertPackage(cabinet.c_str(), m_package.c_str()) == CertPackageCheck::Ok;
}
