#pragma once
// Where every file of the update system lives. All names are compile-time
// constants, so any code, static initialisers of other files included, can
// use them: there is no initialisation order to get wrong.
#include <cstddef>

// A wide string joined at compile time; usable wherever a wide C string is.
template <std::size_t N>
struct FixedWString {
    wchar_t text[N];
    constexpr operator const wchar_t*() const { return text; }
    constexpr const wchar_t* c_str() const { return text; }
};

namespace path_detail {
template <std::size_t... N>
constexpr auto Join(const wchar_t (&... parts)[N]) {
    FixedWString<(N + ...) - sizeof...(N) + 1> joined{};
    std::size_t at = 0;
    for (const wchar_t* part : {static_cast<const wchar_t*>(parts)...})
        for (std::size_t i = 0; part[i] != L'\0'; ++i) joined.text[at++] = part[i];
    joined.text[at] = L'\0';
    return joined;
}
}  // namespace path_detail

// Relative to the common application-data folder.
inline constexpr wchar_t TOOL_DIR[] = L"ZRV\\VelmoUpgradeTool";
inline constexpr wchar_t TOOL_INI_NAME[] = L"VelmoUpgradeTool.ini";
inline constexpr wchar_t DATA_DIR[] = L"ZRV\\VelmoUpgradeTool\\data";
inline constexpr wchar_t DATA_INI_NAME[] = L"VelmoUpgradeData.ini";
inline constexpr wchar_t DOWNLOAD_DIR[] = L"ZRV\\VelmoUpgradeTool\\data\\download";
// The extension of the installed allowed-URL list and of its backups.
inline constexpr wchar_t TXT_EXT[] = L".txt";
// The client product's own folder, not the tool's.
inline constexpr wchar_t NO_USE_FLAG_PATH[] = L"%ProgramData%\\ZRV\\Velmo\\bidNoUse.flag";

// Sub-paths appended to the common application-data folder as
// SHGetFolderPathW returns it (no trailing backslash).
inline constexpr auto DATA_INI_SUBPATH = path_detail::Join(L"\\", DATA_DIR, L"\\", DATA_INI_NAME);
inline constexpr auto TOOL_INI_SUBPATH = path_detail::Join(L"\\", TOOL_DIR, L"\\", TOOL_INI_NAME);
inline constexpr auto DATA_SUBDIR = path_detail::Join(L"\\", DATA_DIR);
inline constexpr auto DATABASE_DAT_SUBPATH = path_detail::Join(L"\\", DATA_DIR, L"\\VelmoUpgradeToolDatabase.dat");
inline constexpr auto DATABASE_TXT_SUBPATH = path_detail::Join(L"\\", DATA_DIR, L"\\VelmoUpgradeToolDatabase.txt");
inline constexpr auto CACERTS_CAB_SUBPATH = path_detail::Join(L"\\", DATA_DIR, L"\\cacerts.cab");
inline constexpr auto CACERTS_SUBDIR = path_detail::Join(L"\\", DATA_DIR, L"\\cacerts");
inline constexpr auto CACERTS_BACKUP_SUBDIR = path_detail::Join(L"\\", TOOL_DIR, L"\\backup\\cacerts");

// Templates whose environment variables are expanded where they are used.
inline constexpr auto UPDATE_LIST_PATH = path_detail::Join(L"%ProgramData%\\", DATA_DIR, L"\\UpdateList.ini");
inline constexpr auto SETUP_EXE_PATH = path_detail::Join(L"%ProgramData%\\", DATA_DIR, L"\\download\\setup.exe");
inline constexpr auto AUX_APP_MSI_PATH = path_detail::Join(L"%ProgramData%\\", DATA_DIR, L"\\download\\Pelmarch.msi");
inline constexpr auto WHITE_LIST_PATH = path_detail::Join(L"%ProgramData%\\", DATA_DIR, L"\\ObWhiteList.txt");
// Without extension: TXT_EXT is added where the installed list is meant.
inline constexpr auto WHITE_LIST_BASE_PATH = path_detail::Join(L"%ProgramData%\\", DATA_DIR, L"\\whitelist\\ObWhiteList");
