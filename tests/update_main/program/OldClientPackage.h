#pragma once
// The installed client as a real Windows Installer product in the whole
// chain: the package that the site producer built with wixl, installed by
// the system's MsiExec for the time of a test, and removed again when the
// test left it there.
#include <windows.h>

#include <string>

class OldClientPackage {
public:
    // Installs the package (a Windows path) whose product code is given.
    OldClientPackage(const std::wstring& package, std::wstring productCode);
    ~OldClientPackage();
    OldClientPackage(const OldClientPackage&) = delete;
    OldClientPackage& operator=(const OldClientPackage&) = delete;

    // Its entry below the Uninstall key, in the 32-bit registry view, where
    // a 32-bit package's entry lies.
    bool Registered() const;
    // The one file it installs.
    std::wstring File() const;

private:
    // The system's MsiExec with the arguments: its exit code.
    DWORD MsiExec(const std::wstring& arguments) const;

    std::wstring m_productCode;
};
