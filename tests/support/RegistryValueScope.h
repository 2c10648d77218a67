#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A string value of a key set for a test and put back as it was afterwards;
// keys that were not there, the key or those above it, go again.
class RegistryValueScope {
public:
    RegistryValueScope(HKEY root, const std::wstring& key, REGSAM view, const wchar_t* name,
                       const std::wstring& value);
    ~RegistryValueScope();
    RegistryValueScope(const RegistryValueScope&) = delete;
    RegistryValueScope& operator=(const RegistryValueScope&) = delete;

private:
    HKEY m_root;
    std::wstring m_key;
    REGSAM m_view;
    std::wstring m_name;
    std::wstring m_createdTop;  // the topmost key made for the value, if any
    bool m_hadValue = false;
    DWORD m_oldType = REG_NONE;
    std::vector<BYTE> m_old;
};
