#pragma once
// An environment variable of this process set for a while, as a user's
// profile or whoever started a program may set it.
#include <string>

// Sets the variable for the object's life, then puts back what was there.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::wstring m_name;
    bool m_had = false;
    std::wstring m_saved;
};
