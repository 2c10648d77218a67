#include "EndToEndState.h"

#include <shellapi.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "support/ProgramRun.h"
#include "support/StateFixtures.h"
#include "win/handle.h"

namespace fs = std::filesystem;
using testing_support::exists;
using testing_support::read_bytes;
using testing_support::write_bytes;

namespace {

std::wstring Utf8ToWide(const std::string& bytes) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        &text[0], static_cast<int>(text.size()))));
    return text;
}

std::wstring ScenarioFolder(const char* name) {
    const char* scenarios = std::getenv("VUT_END_TO_END");
    return testing_support::BuildTreePath(std::string(scenarios ? scenarios : "") + "/" + name);
}

fs::path OnDrive(const std::wstring& root) { return fs::path(L"C:\\" + root); }
// The original, moved aside; or a mark that there was none.
fs::path Saved(const std::wstring& root) { return fs::path(L"C:\\" + root + L".end-to-end-saved"); }
fs::path Absent(const std::wstring& root) { return fs::path(L"C:\\" + root + L".end-to-end-absent"); }

}  // namespace

Scenario::Scenario(const char* name)
    : m_folder(ScenarioFolder(name)),
      m_auxApp(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Obla\\Pelmarch", KEY_WOW64_32KEY, L"Version",
               Setting(L"pelmarch_version")),
      m_windows(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\VelmoUpgradeTool_Main.exe", 0, L"Version",
                Setting(L"windows")) {
    // In the view of this program's build, which the secondary program's
    // matches.
    const std::wstring uninstallKey = Setting(L"uninstall_key");
    if (!uninstallKey.empty())
        m_uninstall.emplace(HKEY_LOCAL_MACHINE, uninstallKey, 0, L"UninstallString",
                            L"\"" + Setting(L"uninstaller") + L"\"");
    std::wstringstream roots(Setting(L"roots"));
    for (std::wstring root; std::getline(roots, root, L',');) m_roots.push_back(root);
    EXPECT_FALSE(m_roots.empty()) << "no scenario in " << testing::PrintToString(m_folder);
    for (const std::wstring& root : m_roots) LayOut(root);
}

Scenario::~Scenario() {
    for (const std::wstring& root : m_roots) PutBack(root);
}

std::wstring Scenario::Setting(const wchar_t* key) const {
    return RawProfileValue(m_folder + L"\\scenario.ini", L"scenario", key, L"");
}

std::string Scenario::SiteFile(const std::wstring& name) const { return read_bytes(Setting(L"site") + L"\\" + name); }

void Scenario::LayOut(const std::wstring& root) const {
    std::error_code error;
    // Either mark was left by a test program that died: what stands there
    // now is its scenario, not the original.
    if (fs::exists(Saved(root)) || fs::exists(Absent(root)))
        fs::remove_all(OnDrive(root), error);
    else if (fs::exists(OnDrive(root)))
        fs::rename(OnDrive(root), Saved(root), error);
    else
        write_bytes(Absent(root), "");
    EXPECT_FALSE(error) << "cannot move " << testing::PrintToString(root) << " aside: " << error.message();
    fs::copy(fs::path(m_folder + L"\\drive_c\\" + root), OnDrive(root), fs::copy_options::recursive, error);
    EXPECT_FALSE(error) << "cannot lay out " << testing::PrintToString(root) << ": " << error.message();
}

void Scenario::PutBack(const std::wstring& root) {
    std::error_code error;
    fs::remove_all(OnDrive(root), error);
    EXPECT_FALSE(error) << "cannot remove " << testing::PrintToString(root) << ": " << error.message();
    if (fs::exists(Saved(root))) fs::rename(Saved(root), OnDrive(root), error);
    fs::remove(Absent(root), error);
}

StubRecord::StubRecord() { SetEnvironmentVariableW(L"VUT_STUB_RECORD", m_folder.path().c_str()); }

StubRecord::~StubRecord() { SetEnvironmentVariableW(L"VUT_STUB_RECORD", nullptr); }

bool StubRecord::Started() const { return exists(m_folder / L"command_line.txt"); }

std::wstring StubRecord::Arguments() const {
    const std::wstring line = Utf8ToWide(read_bytes(m_folder / L"command_line.txt"));
    int count = 0;
    win::LocalMemory owned;
    wchar_t** argv = CommandLineToArgvW(line.c_str(), &count);
    owned.reset(argv);
    std::wstring joined;
    for (int i = 1; argv && i < count; ++i) joined += (i > 1 ? L" " : L"") + std::wstring(argv[i]);
    return joined;
}

std::wstring StubRecord::Exchange() const { return m_folder / L"exchange.ini"; }
