#pragma once
// What the install steps know of the installed client, and the files they
// write into the tool folder: the option file (ZRVCAVelmo.ini, [OPTION]),
// where they leave the install state and which option tools they found, and
// the ".properties" copy. A user may put files and links into that folder:
// each is written only as a file of ours that users may read but not change,
// the option file held open for the context's life.
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "client/InstalledProductInfo.h"
#include "profile/IniProfile.h"
#include "win/handle.h"

// The option file in the tool folder: the name of the client's own INI file,
// of which it starts as a copy.
inline constexpr wchar_t OPTION_FILE_NAME[] = L"ZRVCAVelmo.ini";

class CInstallContext {
public:
    // The base folder is the common application-data folder, looked up again
    // by every step that needs it; tests hand in a folder of their own.
    explicit CInstallContext(const InstalledProductInfo& info, FolderSource baseFolder = GetProgramDataFolder);

    // Looks the base folder up again; false (ERROR_FILE_NOT_FOUND) and an
    // empty folder when it cannot be had.
    bool GetBaseFolder();
    const std::wstring& BaseFolder() const { return m_baseFolder; }
    const std::wstring& ClientDirectory() const { return m_clientDirectory; }
    // name in the tool folder below the base folder; empty without one.
    std::wstring ToolFolderPath(const wchar_t* name) const;
    // The tool's data folder, which users write; empty without a base folder.
    std::wstring DataFolder() const;

    // Copies the client's INI file (`clientIniPath`) into the tool folder as
    // the option file, byte for byte.
    bool CopyClientIni(const std::wstring& clientIniPath);
    // Copies the client's ".kvxwrap\.properties" into the tool folder, byte
    // for byte whatever its encoding, with the client folder held
    // (HoldClientFolder): never through a link on the way to it.
    bool SavePropertiesFile();
    // [OPTION] ETaxTOOL and ZAVAZuvaz as 1 or 0; true when both were written.
    bool WriteOptionToolFlags(bool etaxFound, bool zavaZuvazFound);
    // [OPTION] Velmo_instState: 1 while an install is under way, 0 after it.
    bool SetInstallState(int value);
    // Velmo_instState as written, 0 when absent or unreadable; an option
    // file that this run has not used yet is made ours first, as for a write
    // (under Wine, which keeps no owners, one of an earlier run is set aside).
    int GetInstallState();

private:
    // The option file made ours and held (TakeAdminOwnedFile) from its first
    // use in this run on: every key goes into it and is read from it through
    // that handle, never by its name, which a link could take over. The hold
    // reads only, so the client's setup can read the file meanwhile.
    const win::FileHandle& OptionFile();
    std::optional<std::string> ReadOptionFile();
    // [OPTION] keys as "%d", in the file's own INI form and encoding, by one
    // read and at most one write of the file.
    bool WriteOptions(std::initializer_list<std::pair<const wchar_t*, int>> keys);
    // The bytes as the whole of a tool-folder file held by TakeAdminOwnedFile,
    // through a write handle had from the hold for this write alone.
    static bool WriteHeld(HANDLE held, const std::string& bytes);
    // A file of the client's, byte for byte; nothing when it cannot be read.
    static std::optional<std::string> LoadCopied(const std::wstring& source);

    std::wstring m_clientDirectory;
    FolderSource m_findBaseFolder;
    std::wstring m_baseFolder;
    win::FileHandle m_optionFile;
};
