#include "support/RegistryValueScope.h"

#include <gtest/gtest.h>

#include "win/handle.h"

namespace {

std::wstring ParentKey(const std::wstring& key) {
    const std::size_t last = key.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : key.substr(0, last);
}

}  // namespace

RegistryValueScope::RegistryValueScope(HKEY root, const std::wstring& key, REGSAM view, const wchar_t* name,
                                       const std::wstring& value)
    : m_root(root), m_key(key), m_view(view), m_name(name) {
    for (std::wstring above = key; !above.empty(); above = ParentKey(above)) {
        if (RegOpenKeyExW(root, above.c_str(), 0, KEY_QUERY_VALUE | view, win::RegKey().put()) == ERROR_SUCCESS) break;
        m_createdTop = above;
    }
    win::RegKey opened;
    EXPECT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_READ | KEY_SET_VALUE | view, nullptr, opened.put(),
                              nullptr),
              ERROR_SUCCESS);
    DWORD size = 0;
    if (RegQueryValueExW(opened.get(), m_name.c_str(), nullptr, &m_oldType, nullptr, &size) == ERROR_SUCCESS) {
        m_old.resize(size);
        m_hadValue =
            RegQueryValueExW(opened.get(), m_name.c_str(), nullptr, &m_oldType, m_old.data(), &size) == ERROR_SUCCESS;
    }
    EXPECT_EQ(RegSetValueExW(opened.get(), m_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

RegistryValueScope::~RegistryValueScope() {
    if (!m_createdTop.empty()) {
        for (std::wstring made = m_key;; made = ParentKey(made)) {
            RegDeleteKeyExW(m_root, made.c_str(), m_view, 0);
            if (made == m_createdTop) return;
        }
    }
    win::RegKey opened;
    if (RegOpenKeyExW(m_root, m_key.c_str(), 0, KEY_SET_VALUE | m_view, opened.put()) != ERROR_SUCCESS) return;
    if (m_hadValue)
        RegSetValueExW(opened.get(), m_name.c_str(), 0, m_oldType, m_old.data(), static_cast<DWORD>(m_old.size()));
    else
        RegDeleteValueW(opened.get(), m_name.c_str());
}
