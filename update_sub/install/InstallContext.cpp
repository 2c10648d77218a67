#include "install/InstallContext.h"

#include <windows.h>

#include <utility>

#include "fileops/TextFile.h"
#include "paths/PathConstants.h"

namespace {
constexpr wchar_t kOptionSection[] = L"OPTION";
}  // namespace

CInstallContext::CInstallContext(const InstalledProductInfo& info, FolderSource baseFolder)
    : m_clientDirectory(info.directory), m_findBaseFolder(std::move(baseFolder)) {}

bool CInstallContext::GetBaseFolder() {
    m_baseFolder = m_findBaseFolder();
    if (!m_baseFolder.empty()) return true;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
}

std::wstring CInstallContext::ToolFolderPath(const wchar_t* name) const {
    // Without a base folder a bare "\ZRV\..." would name the current drive.
    return JoinFolderPath(m_baseFolder, TOOL_DIR, name);
}

bool CInstallContext::SavePropertiesFile() {
    if (m_clientDirectory.empty() || !GetBaseFolder()) return false;
    const std::wstring source = m_clientDirectory + L"\\.kvxwrap\\.properties";
    const std::wstring target = ToolFolderPath(L".properties");
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(target.c_str(), attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    std::wstring text;
    return qen_lib::file::load(source, text) && qen_lib::file::save(target, text);
}

bool CInstallContext::WriteOptionToolFlags(bool etaxFound, bool zavaZuvazFound) {
    if (!GetBaseFolder()) return false;
    const std::wstring file = ToolFolderPath(OPTION_FILE_NAME);
    const bool etaxWritten = WriteIniInt(kOptionSection, L"ETaxTOOL", etaxFound ? 1 : 0, file) != FALSE;
    const bool zavaZuvazWritten = WriteIniInt(kOptionSection, L"ZAVAZuvaz", zavaZuvazFound ? 1 : 0, file) != FALSE;
    return etaxWritten && zavaZuvazWritten;
}

bool CInstallContext::SetInstallState(int value) {
    return GetBaseFolder() && WriteIniInt(kOptionSection, L"Velmo_instState", value, ToolFolderPath(OPTION_FILE_NAME));
}

int CInstallContext::GetInstallState() {
    if (!GetBaseFolder()) return 0;
    return static_cast<int>(
        GetPrivateProfileIntW(kOptionSection, L"Velmo_instState", 0, ToolFolderPath(OPTION_FILE_NAME).c_str()));
}
