#pragma once
// Files for the hash, Mac-file and envelope tests: the fixtures that the
// producer scripts made in the build tree, and a scratch folder per test.
#include <string>

namespace test_files {

// The Windows form of a path in the build tree (UTF-8, "/"): "Z:" and "\".
std::wstring windows_path(const std::string& unix_path);

std::string read_bytes(const std::wstring& path);
void write_bytes(const std::wstring& path, const std::string& bytes);
bool exists(const std::wstring& path);

std::string from_hex(const std::string& hex);
std::string to_hex(const unsigned char* bytes, std::size_t size);

// An empty folder of its own in the temporary folder, removed with all it
// holds when the test ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    // The path of name inside the folder.
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

}  // namespace test_files
