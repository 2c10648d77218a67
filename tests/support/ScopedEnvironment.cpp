#include "support/ScopedEnvironment.h"

#include <windows.h>

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value) : m_name(name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    m_had = size > 0;
    if (m_had) {
        m_saved.resize(size);
        m_saved.resize(GetEnvironmentVariableW(name, &m_saved[0], size));
    }
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    SetEnvironmentVariableW(m_name.c_str(), m_had ? m_saved.c_str() : nullptr);
}
