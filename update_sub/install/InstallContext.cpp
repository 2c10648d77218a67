#include "install/InstallContext.h"

#include <windows.h>

#include <utility>

#include "fileops/AdminOwnedFile.h"
#include "fileops/ClientFolder.h"
#include "paths/PathConstants.h"
#include "qen_lib/file.h"

namespace {

constexpr wchar_t kOptionSection[] = L"OPTION";

// Either file is a few kilobytes; the limit keeps a huge file from being read
// into memory whole.
constexpr unsigned kCopiedFileLimit = 16u * 1024u * 1024u;

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

std::wstring CInstallContext::DataFolder() const {
    return m_baseFolder.empty() ? std::wstring() : m_baseFolder + DATA_SUBDIR.c_str();
}

bool CInstallContext::CopyClientIni(const std::wstring& clientIniPath) {
    return CopyIntoToolFolder(clientIniPath, OPTION_FILE_NAME);
}

bool CInstallContext::SavePropertiesFile() {
    HeldFolder client;
    return !m_clientDirectory.empty() && HoldClientFolder(m_clientDirectory, client) &&
           CopyIntoToolFolder(m_clientDirectory + L"\\.kvxwrap\\.properties", L".properties");
}

bool CInstallContext::WriteOptionToolFlags(bool etaxFound, bool zavaZuvazFound) {
    const std::wstring file = OwnToolFile(OPTION_FILE_NAME);
    if (file.empty()) return false;
    const bool etaxWritten = WriteIniInt(kOptionSection, L"ETaxTOOL", etaxFound ? 1 : 0, file) != FALSE;
    const bool zavaZuvazWritten = WriteIniInt(kOptionSection, L"ZAVAZuvaz", zavaZuvazFound ? 1 : 0, file) != FALSE;
    return etaxWritten && zavaZuvazWritten;
}

bool CInstallContext::SetInstallState(int value) {
    const std::wstring file = OwnToolFile(OPTION_FILE_NAME);
    return !file.empty() && WriteIniInt(kOptionSection, L"Velmo_instState", value, file);
}

int CInstallContext::GetInstallState() {
    if (!GetBaseFolder()) return 0;
    return static_cast<int>(
        GetPrivateProfileIntW(kOptionSection, L"Velmo_instState", 0, ToolFolderPath(OPTION_FILE_NAME).c_str()));
}

std::wstring CInstallContext::OwnToolFile(const wchar_t* name) {
    if (!GetBaseFolder()) return std::wstring();
    const std::wstring path = ToolFolderPath(name);
    if (m_ownFiles.count(path) == 0) {
        if (!PrepareAdminOwnedFile(path)) return std::wstring();
        m_ownFiles.insert(path);
    }
    return path;
}

bool CInstallContext::CopyIntoToolFolder(const std::wstring& source, const wchar_t* name) {
    bool loaded = false;
    const qen_lib::ByteBuffer bytes = qen_lib::file::load(source, kCopiedFileLimit, loaded);
    if (!loaded) return false;  // logged by the load
    const std::wstring target = OwnToolFile(name);
    return !target.empty() && OverwriteAdminOwnedFile(target, bytes.data(), bytes.size());
}
