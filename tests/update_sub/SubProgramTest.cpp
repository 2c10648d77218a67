// The secondary program itself: what it carries besides its code (the
// administrator manifest, the terminal-server flag, its version information,
// the proxy prompt that names what it fetches), and runs of the real program
// under Wine with orders that ask for nothing, which end in its closing
// dialog. A run reads and blanks the prefix's own exchange file, so the test
// lays out its orders there and puts the file back as it was afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "messages/UserMessages.h"
#include "paths/PathConstants.h"
#include "profile/IniProfile.h"
#include "res/resource.h"
#include "support/ProgramImage.h"
#include "support/ProgramRun.h"
#include "support/StandInBrowser.h"
#include "support/StateFixtures.h"
#include "support/WindowDriver.h"
#include "win/handle.h"

using namespace testing_support;

namespace {

const std::wstring kProgram = BuildTreePath(VUT_SUB_PROGRAM);

// The bytes of a resource of the program, empty when it has none.
std::string ResourceBytes(const wchar_t* type, int id) {
    const win::Module program(
        LoadLibraryExW(kProgram.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    const HRSRC found = program ? FindResourceW(program.get(), MAKEINTRESOURCEW(id), type) : nullptr;
    const HGLOBAL loaded = found ? LoadResource(program.get(), found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(program.get(), found)) : std::string();
}

std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring VersionValue(const wchar_t* name) {
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(kProgram.c_str(), &ignored));
    if (info.empty() || !GetFileVersionInfoW(kProgram.c_str(), 0, static_cast<DWORD>(info.size()), info.data()))
        return L"<none>";
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return L"<none>";
    return value;
}

// The folders of a path of the prefix made where missing, and those made
// removed again when the object goes (the main program's tests count on a
// prefix without the tool's folders).
class MadeFolders {
public:
    explicit MadeFolders(const std::wstring& path) {
        for (std::size_t at = path.find(L'\\', 3); ; at = path.find(L'\\', at + 1)) {
            const std::wstring folder = path.substr(0, at);
            if (CreateDirectoryW(folder.c_str(), nullptr)) m_made.push_back(folder);
            if (at == std::wstring::npos) break;
        }
    }
    ~MadeFolders() {
        for (auto folder = m_made.rbegin(); folder != m_made.rend(); ++folder) RemoveDirectoryW(folder->c_str());
    }

private:
    std::vector<std::wstring> m_made;
};

// A file of the prefix put back as it was when the object goes.
class SavedFile {
public:
    explicit SavedFile(std::wstring path) : m_path(std::move(path)), m_existed(exists(m_path)) {
        if (m_existed) m_bytes = read_bytes(m_path);
    }
    ~SavedFile() {
        if (m_existed)
            write_bytes(m_path, m_bytes);
        else
            DeleteFileW(m_path.c_str());
    }

private:
    std::wstring m_path;
    bool m_existed;
    std::string m_bytes;
};

// The prefix's exchange file with orders that ask for nothing, for the time
// of a test.
class NothingOrdered {
public:
    NothingOrdered();

    const std::wstring exchange = GetProgramDataFolder() + DATA_INI_SUBPATH.c_str();

private:
    const MadeFolders m_folders{GetProgramDataFolder() + DATA_SUBDIR.c_str()};
    const SavedFile m_saved{exchange};
};

NothingOrdered::NothingOrdered() {
    DeleteFileW(exchange.c_str());
    const struct {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    } orders[] = {
        {L"Velmo", L"major", L"6"},        {L"Velmo", L"minor", L"1"},     {L"Velmo", L"sub_minor", L"9"},
        {L"Velmo", L"ver", L"6.1.9"},      {L"Command", L"dURL", L"\"\""}, {L"Command", L"cacerts", L"0"},
        {L"Message", L"common", L"お知らせ(NL)二行目"}, {L"Pelmarch", L"is_new", L"0"},
    };
    for (const auto& o : orders) EXPECT_TRUE(WritePrivateProfileStringW(o.section, o.key, o.value, exchange.c_str()));
}

}  // namespace

TEST(SubProgram, AsksForAdministratorRightsAndNamesItself) {
    EXPECT_NE(ResourceBytes(RT_MANIFEST, 1).find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_TRUE(DllCharacteristics(kProgram) & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE);
    EXPECT_EQ(VersionValue(L"FileDescription"), L"Velmoご利用ソフト更新ツール");
    EXPECT_EQ(VersionValue(L"OriginalFilename"), L"Velmoご利用ソフト更新ツール.exe");
    // The file the build made, and the settings name, bears that name too.
    EXPECT_EQ(kProgram.substr(kProgram.rfind(L'\\') + 1), L"Velmoご利用ソフト更新ツール.exe");
    EXPECT_NE(GetFileAttributesW(kProgram.c_str()), INVALID_FILE_ATTRIBUTES) << GetLastError();
    EXPECT_NE(ResourceBytes(RT_DIALOG, IDD_PROXY)
                  .find(Utf16Bytes(L"「Velmoご利用ソフト」をダウンロードするためには、Proxy認証が必要です。")),
              std::string::npos);
}

TEST(SubProgram, WithNothingOrderedItEndsInItsClosingDialog) {
    ASSERT_FALSE(GetProgramDataFolder().empty());
    const NothingOrdered ordered;
    const std::wstring& exchange = ordered.exchange;

    const RunningProgram run = StartProgram(kProgram, L"");
    ASSERT_TRUE(run.process) << GetLastError();
    const HWND dialog = WaitForDialog(run.processId, IDC_NOTICE, 20000);
    ASSERT_NE(dialog, nullptr);
    SaveScreenshot(dialog, L"sub_program_nothing_ordered");
    const std::wstring message = ControlText(dialog, IDC_MESSAGE);
    // An administrator sees K814; a user, which only Windows can show, K700.
    EXPECT_TRUE(message.find(L"(エラー：K814)") != std::wstring::npos ||
                message.find(L"(エラー：K700)") != std::wstring::npos)
        << testing::PrintToString(message);
    EXPECT_EQ(ControlText(dialog, IDC_NOTICE), L"お知らせ\n二行目");
    EXPECT_EQ(ControlText(dialog, IDC_VERSION_LABEL), L"Velmoご利用ソフト： 6.1.9");
    EXPECT_EQ(ControlText(dialog, IDC_LINK), SUPPORT_URL);
    // The orders are blanked before anything else happens.
    EXPECT_EQ(RawProfileValue(exchange, L"Command", L"cacerts"), L"");
    EXPECT_EQ(RawProfileValue(exchange, L"Velmo", L"ver"), L"6.1.9");

    Click(dialog, IDCANCEL);
    EXPECT_EQ(WaitForExit(run), 0u);
}

// A browser started from this program would have its rights, an
// administrator's or SYSTEM's. The desktop shell of the signed-in user takes
// the address and starts the browser from its own process, with that user's
// rights; Wine's desktop process does the same. That nothing opens where no
// desktop shell answers (a service's session, SYSTEM) only Windows shows.
TEST(SubProgram, ItsSupportLinkOpensThroughTheDesktopShell) {
    ASSERT_FALSE(GetProgramDataFolder().empty());
    const NothingOrdered ordered;
    const StandInBrowser browser;
    const RunningProgram run = StartProgram(kProgram, L"");
    ASSERT_TRUE(run.process) << GetLastError();
    const HWND dialog = WaitForDialog(run.processId, IDC_NOTICE, 20000);
    ASSERT_NE(dialog, nullptr);

    ClickControl(dialog, IDC_LINK);
    const BrowserStart start = browser.WaitForStart(20000);
    EXPECT_NE(start.parentId, 0u) << "no desktop shell opened the address";
    EXPECT_NE(start.parentId, run.processId) << "the browser runs with the program's rights";
    EXPECT_EQ(start.address, SUPPORT_URL);

    Click(dialog, IDCANCEL);
    EXPECT_EQ(WaitForExit(run), 0u);
}
