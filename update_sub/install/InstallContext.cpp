#include "install/InstallContext.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "fileops/AdminOwnedFile.h"
#include "fileops/ClientFolder.h"
#include "fileops/HandleContents.h"
#include "fileops/IniFileBytes.h"
#include "paths/PathConstants.h"
#include "qen_lib/file.h"

namespace {

constexpr wchar_t kOptionSection[] = L"OPTION";

// Either file is a few kilobytes; the limit keeps a huge file from being read
// into memory whole.
constexpr unsigned kCopiedFileLimit = 16u * 1024u * 1024u;

// Anything at the path: a file, a folder or a link.
bool PathTaken(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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
    const std::optional<std::string> bytes = LoadCopied(clientIniPath);
    return bytes && OptionFile() && WriteHeld(m_optionFile.get(), *bytes);
}

bool CInstallContext::SavePropertiesFile() {
    HeldFolder client;
    if (m_clientDirectory.empty() || !HoldClientFolder(m_clientDirectory, client)) return false;
    const std::optional<std::string> bytes = LoadCopied(m_clientDirectory + L"\\.kvxwrap\\.properties");
    if (!bytes || !GetBaseFolder()) return false;
    const win::FileHandle target = TakeAdminOwnedFile(ToolFolderPath(L".properties"));
    return target && WriteHeld(target.get(), *bytes);
}

bool CInstallContext::WriteOptionToolFlags(bool etaxFound, bool zavaZuvazFound) {
    return WriteOptions({{L"ETaxTOOL", etaxFound ? 1 : 0}, {L"ZAVAZuvaz", zavaZuvazFound ? 1 : 0}});
}

bool CInstallContext::SetInstallState(int value) { return WriteOptions({{L"Velmo_instState", value}}); }

int CInstallContext::GetInstallState() {
    // The setup reads the option file: none is made only to be asked. One
    // that is there is judged as for a write.
    if (!m_optionFile && !(GetBaseFolder() && PathTaken(ToolFolderPath(OPTION_FILE_NAME)))) return 0;
    const std::optional<std::string> bytes = ReadOptionFile();
    const std::optional<std::wstring> value =
        bytes ? IniValue(*bytes, kOptionSection, L"Velmo_instState") : std::nullopt;
    return value ? static_cast<int>(std::wcstol(value->c_str(), nullptr, 10)) : 0;
}

const win::FileHandle& CInstallContext::OptionFile() {
    if (!m_optionFile && GetBaseFolder()) m_optionFile = TakeAdminOwnedFile(ToolFolderPath(OPTION_FILE_NAME));
    return m_optionFile;
}

std::optional<std::string> CInstallContext::ReadOptionFile() {
    const win::FileHandle& file = OptionFile();
    return file ? ReadWholeFile(file.get(), kCopiedFileLimit) : std::nullopt;
}

bool CInstallContext::WriteOptions(std::initializer_list<std::pair<const wchar_t*, int>> keys) {
    const std::optional<std::string> bytes = ReadOptionFile();
    std::optional<std::string> written = bytes;
    for (const auto& [key, value] : keys)
        if (written) written = WithIniValue(*written, kOptionSection, key, std::to_wstring(value));
    return written && (*written == *bytes || WriteHeld(m_optionFile.get(), *written));
}

bool CInstallContext::WriteHeld(HANDLE held, const std::string& bytes) {
    const win::FileHandle file = OpenAdminOwnedFileToWrite(held);
    return file && WriteWholeFile(file.get(), bytes);
}

std::optional<std::string> CInstallContext::LoadCopied(const std::wstring& source) {
    bool loaded = false;
    const qen_lib::ByteBuffer bytes = qen_lib::file::load(source, kCopiedFileLimit, loaded);
    if (!loaded) return std::nullopt;  // logged by the load
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}
