#pragma once
// A fresh folder under the temporary folder, removed with its contents at the
// end of the test.
#include <string>

namespace testing_support {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's absolute path, without a final '\'.
    const std::wstring& path() const { return m_path; }
    // path() + '\' + name.
    std::wstring operator/(const std::wstring& name) const { return m_path + L'\\' + name; }

private:
    std::wstring m_path;
};

// Whole-file helpers for setting up and checking files in tests.
void write_bytes(const std::wstring& path, const std::string& bytes);
std::string read_bytes(const std::wstring& path);
bool exists(const std::wstring& path);

}  // namespace testing_support
