#include "OldClientPackage.h"

#include <shlobj.h>

#include <utility>

#include <gtest/gtest.h>

#include "support/ProgramRun.h"
#include "win/handle.h"

namespace {

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// As old-client.wxs names the folder it installs into.
constexpr wchar_t kInstalledFile[] = L"\\Velmo client (MSI test package)\\Velmo.exe";
constexpr DWORD kMsiExecMs = 120000;

}  // namespace

OldClientPackage::OldClientPackage(const std::wstring& package, std::wstring productCode)
    : m_productCode(std::move(productCode)) {
    EXPECT_EQ(MsiExec(L"/i \"" + package + L"\" /qn"), 0u) << "the old client's package did not install";
}

OldClientPackage::~OldClientPackage() {
    if (Registered()) MsiExec(L"/x " + m_productCode + L" /qn");
}

bool OldClientPackage::Registered() const {
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kUninstallKey + m_productCode).c_str(), 0,
                         KEY_QUERY_VALUE | KEY_WOW64_32KEY, win::RegKey().put()) == ERROR_SUCCESS;
}

std::wstring OldClientPackage::File() const {
    // A 32-bit package's program-files folder; a 32-bit Windows has only one.
    wchar_t folder[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK)
        SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder + std::wstring(kInstalledFile);
}

DWORD OldClientPackage::MsiExec(const std::wstring& arguments) const {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const testing_support::RunningProgram run =
        testing_support::StartProgram(system + std::wstring(L"\\msiexec.exe"), arguments);
    return run.process ? testing_support::WaitForExit(run, kMsiExecMs) : GetLastError();
}
