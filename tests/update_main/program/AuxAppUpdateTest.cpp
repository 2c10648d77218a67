#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>

#include "auxapp/AuxAppUpdate.h"
#include "support/StateFixtures.h"
#include "win/handle.h"

namespace {

constexpr wchar_t kAuxAppKey[] = L"SOFTWARE\\Obla\\Pelmarch";

// The auxiliary application's registry key, removed from both views before
// and after each use.
class AuxAppRegistry {
public:
    AuxAppRegistry() { Remove(); }
    ~AuxAppRegistry() { Remove(); }

    void Set(DWORD type, const void* data, DWORD size, REGSAM view = KEY_WOW64_32KEY) {
        win::RegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAuxAppKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                                  key.put(), nullptr),
                  ERROR_SUCCESS);
        if (data) {
            ASSERT_EQ(RegSetValueExW(key.get(), L"Version", 0, type, static_cast<const BYTE*>(data), size),
                      ERROR_SUCCESS);
        }
    }
    void SetText(const std::wstring& text, DWORD type = REG_SZ, REGSAM view = KEY_WOW64_32KEY) {
        Set(type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), view);
    }

private:
    static void Remove() {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kAuxAppKey, view, 0);
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Obla", view, 0);
        }
    }
};

enum class Registry { None, KeyOnly, Text, ExpandText, Number, TextIn64BitViewOnly };

struct AuxCase {
    const char* name;
    Registry registry;
    std::wstring registryText;
    const char* updateList;  // nullptr: no update list file
    std::wstring installed;
    bool due;
    const char* errorOutput;
};

// 127 characters: 64 nines joined by dots.
const std::wstring kLongestVersion = [] {
    std::wstring text = L"9";
    while (text.size() < 127) text += L".9";
    return text;
}();

const AuxCase kAuxCases[] = {
    {"numbers compare as numbers", Registry::Text, L"2.0.1", "ver=2.0.10", L"2.0.1", true, ""},
    {"missing positions count 0", Registry::Text, L"2.1", "ver=2.1.0", L"2.1", false, ""},
    {"newer installed", Registry::Text, L"3.0", "ver=2.9.9", L"3.0", false, ""},
    {"no key", Registry::None, L"", "ver=1.0", L"", true, "RegOpenKeyEx error\n"},
    {"no value", Registry::KeyOnly, L"", "ver=1.0", L"", true, "RegQueryValueEx error\n"},
    {"value not text", Registry::Number, L"", "ver=1.0", L"", true, "RegQueryValueEx error\n"},
    {"expandable text", Registry::ExpandText, L"2.5", "ver=2.4", L"2.5", false, ""},
    {"only the 64-bit view", Registry::TextIn64BitViewOnly, L"9.0", "ver=1.0", L"", true, "RegOpenKeyEx error\n"},
    {"127 characters fit", Registry::Text, kLongestVersion, "ver=2", kLongestVersion, false, ""},
    {"128 characters do not", Registry::Text, std::wstring(128, L'1'), "ver=0.1", L"", true,
     "RegQueryValueEx error\n"},
    {"no ver key", Registry::Text, L"3.0", "other=9", L"3.0", false, ""},
    {"no update list", Registry::None, L"", nullptr, L"", false, "RegOpenKeyEx error\n"},
};

TEST(GetAuxAppVersionInfo, InstalledFromTheRegistryAgainstTheUpdateList) {
    for (const AuxCase& c : kAuxCases) {
        SCOPED_TRACE(c.name);
        AuxAppRegistry registry;
        const DWORD number = 7;
        switch (c.registry) {
            case Registry::None: break;
            case Registry::KeyOnly: registry.Set(REG_SZ, nullptr, 0); break;
            case Registry::Text: registry.SetText(c.registryText); break;
            case Registry::ExpandText: registry.SetText(c.registryText, REG_EXPAND_SZ); break;
            case Registry::Number: registry.Set(REG_DWORD, &number, sizeof(number)); break;
            case Registry::TextIn64BitViewOnly: registry.SetText(c.registryText, REG_SZ, KEY_WOW64_64KEY); break;
        }
        TempFolder folder;
        const std::wstring updateList = folder / L"UpdateList.ini";
        if (c.updateList) WriteFileBytes(updateList, std::string("[Pelmarch]\r\n") + c.updateList + "\r\n");

        testing::internal::CaptureStderr();
        const AuxAppVersionInfo info = GetAuxAppVersionInfo(updateList);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.errorOutput);
        EXPECT_EQ(info.installed.text(), c.installed);
        EXPECT_EQ(info.needs_update, c.due);
    }
}

TEST(GetAuxAppVersionInfo, KeepsTheRequiredVersionText) {
    AuxAppRegistry registry;
    registry.SetText(L"1.0");
    TempFolder folder;
    WriteFileBytes(folder / L"UpdateList.ini", "[Pelmarch]\r\nver=01.2.\r\n");
    const AuxAppVersionInfo info = GetAuxAppVersionInfo(folder / L"UpdateList.ini");
    EXPECT_EQ(info.required.text(), L"01.2.");
    EXPECT_EQ(info.required.parts(), (std::vector<int>{1, 2, 0}));
    EXPECT_TRUE(info.needs_update);
}

// The required version is read whole, with or without quotes, up to what
// the 4097-character buffer holds with its NUL; a longer one reads as none.
TEST(GetAuxAppVersionInfo, TheRequiredVersionIsReadWholeOrNotAtAll) {
    AuxAppRegistry registry;
    registry.SetText(L"1.0");
    for (const ProfileLimitCase& c : ProfileLimitCases(4096)) {
        SCOPED_TRACE(c.Describe());
        TempFolder folder;
        WriteFileBytes(folder / L"UpdateList.ini", "[Pelmarch]\r\nver=" + c.Text('9') + "\r\n");
        const AuxAppVersionInfo info = GetAuxAppVersionInfo(folder / L"UpdateList.ini");
        EXPECT_EQ(info.required.text(), c.length <= 4096 ? std::wstring(c.length, L'9') : std::wstring());
    }
}

TEST(IsAuxAppUpdateAllowed, NeedsANewerWindowsAndNoNoUseFlagFile) {
    enum class Flag { None, File, Folder };
    struct Case {
        const wchar_t* os;
        Flag flag;
        bool allowed;
    };
    const Case cases[] = {
        {L"6.1", Flag::None, false}, {L"6.0", Flag::None, false},   {L"5.1", Flag::None, false},
        {L"6.2", Flag::None, true},  {L"6.3", Flag::None, true},    {L"10.0", Flag::None, true},
        {L"10.0", Flag::File, false}, {L"10.0", Flag::Folder, true}, {L"6.1", Flag::Folder, false},
    };
    for (const Case& c : cases) {
        TempFolder client;
        const std::wstring flag = client / L"bidNoUse.flag";
        if (c.flag == Flag::File) WriteFileBytes(flag, "");
        if (c.flag == Flag::Folder) MakeFolder(flag);
        EXPECT_EQ(IsAuxAppUpdateAllowed(VersionNumber(c.os), flag), c.allowed)
            << testing::PrintToString(std::wstring(c.os)) << " flag " << static_cast<int>(c.flag);
    }
}

// The gate opens only when Windows says cleanly that no file is there.
TEST(IsNotExistingFile, OnlyACleanNotFoundOpensTheGate) {
    struct Case {
        const char* name;
        std::wstring path;  // "*" stands for a private folder
        bool notExisting;
    };
    const Case cases[] = {
        {"missing file", L"*\\bidNoUse.flag", true},
        {"missing folder", L"*\\Velmo\\bidNoUse.flag", true},
        {"a folder of that name", L"*\\folder.flag", true},
        {"a file", L"*\\file.flag", false},
        {"empty path", L"", false},
        {"not expanded", L"%ProgramData%\\ZRV\\Velmo\\bidNoUse.flag", false},
        {"partly expanded", L"*\\%VELMO_DIR%\\bidNoUse.flag", false},
        {"a name Windows refuses", L"*\\bid<NoUse.flag", false},
        {"a wildcard", L"*\\bid?NoUse.flag", false},
    };
    TempFolder client;
    WriteFileBytes(client / L"file.flag", "");
    MakeFolder(client / L"folder.flag");
    for (const Case& c : cases) {
        std::wstring path = c.path;
        if (!path.empty() && path[0] == L'*') path = client.path() + path.substr(1);
        EXPECT_EQ(IsNotExistingFile(path), c.notExisting) << c.name;
    }
}

TEST(IsAuxAppUpdateAllowed, AsksTheGateOnlyOnANewerWindows) {
    std::wstring asked;
    const PathGate gate = [&](const std::wstring& path) {
        asked = path;
        return false;
    };
    EXPECT_FALSE(IsAuxAppUpdateAllowed(VersionNumber(L"6.1"), L"C:\\flag", gate));
    EXPECT_EQ(asked, L"");
    EXPECT_FALSE(IsAuxAppUpdateAllowed(VersionNumber(L"6.2"), L"C:\\flag", gate));
    EXPECT_EQ(asked, L"C:\\flag");
}

// The Windows version that Wine reports to the probe program alone, for one test.
class ProbeWindowsVersion {
public:
    explicit ProbeWindowsVersion(const wchar_t* version) {
        win::RegKey key;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                                 static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    ~ProbeWindowsVersion() { RegDeleteKeyW(HKEY_CURRENT_USER, kKey); }

private:
    static constexpr wchar_t kKey[] = L"Software\\Wine\\AppDefaults\\aux_gate_probe.exe";
};

// The probe's exit code for the given no-use flag path.
DWORD RunProbe(const std::wstring& flagPath) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program(self);
    program = program.substr(0, program.rfind(L'\\')) + L"\\aux_gate_probe.exe";
    std::wstring commandLine = L"\"" + program + L"\" \"" + flagPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        ADD_FAILURE() << "cannot start the probe, error " << GetLastError();
        return 0;
    }
    const win::KernelHandle process(started.hProcess);
    const win::KernelHandle thread(started.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    return exitCode;
}

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The probe carries the program's manifest, which declares Windows 10: so
// GetVersionExW gives it the version that Wine is told to report.
TEST(AuxAppUpdateGateOnWindows, HeldBackOnWindows7AndLetThroughOnNewer) {
    if (!RunningUnderWine()) GTEST_SKIP() << "the Windows version is chosen through Wine's own settings";
    TempFolder client;
    const std::wstring flag = client / L"bidNoUse.flag";
    const struct {
        const wchar_t* wineVersion;
        DWORD exitCode;
    } cases[] = {{L"win7", 6010}, {L"win8", 6021}, {L"win10", 10001}};
    for (const auto& c : cases) {
        ProbeWindowsVersion version(c.wineVersion);
        EXPECT_EQ(RunProbe(flag), c.exitCode) << testing::PrintToString(std::wstring(c.wineVersion));
    }

    ProbeWindowsVersion windows10(L"win10");
    MakeFolder(flag);
    EXPECT_EQ(RunProbe(flag), 10001u) << "a folder is no flag file";
    RemoveTree(flag);
    WriteFileBytes(flag, "");
    EXPECT_EQ(RunProbe(flag), 10000u) << "the flag file holds the update back";
}

}  // namespace
