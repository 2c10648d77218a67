#include "InstallFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "support/StateFixtures.h"
#include "win/handle.h"

bool RecordingRunner::RunCommandLineAndWait(const std::wstring& commandLine) {
    started.push_back(commandLine);
    if (onRun) onRun(commandLine);
    return starts;
}

TestRegistryKey::TestRegistryKey() {
    static int counter = 0;
    m_path = L"Software\\VelmoUpgradeToolTests\\" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(++counter);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    win::RegKey key;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                              nullptr),
              ERROR_SUCCESS);
}

TestRegistryKey::~TestRegistryKey() { RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str()); }

void TestRegistryKey::SetValue(const std::wstring& subkey, const wchar_t* name, DWORD type, const void* data,
                               DWORD size) const {
    win::RegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (m_path + L"\\" + subkey).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

void TestRegistryKey::SetUnterminated(const std::wstring& subkey, const wchar_t* name, DWORD type,
                                      const std::wstring& text) const {
    const std::wstring followed = text + L'#';
    SetValue(subkey, name, type, followed.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

void TestRegistryKey::SetText(const std::wstring& subkey, const wchar_t* name, const std::wstring& text,
                              DWORD type) const {
    SetValue(subkey, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

namespace {
constexpr wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingRenames[] = L"PendingFileRenameOperations";
}  // namespace

PendingRenamesValue PendingRenamesValue::Of(const std::wstring& text, DWORD type) {
    PendingRenamesValue value{true, type, {}};
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.data());
    value.data.assign(bytes, bytes + text.size() * sizeof(wchar_t));
    return value;
}

PendingRenamesValue PendingRenamesValue::Read() {
    PendingRenamesValue value;
    win::RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), kPendingRenames, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return PendingRenamesValue();
    value.data.resize(size);
    value.present =
        RegQueryValueExW(key.get(), kPendingRenames, nullptr, &value.type, value.data.data(), &size) == ERROR_SUCCESS;
    return value;
}

void PendingRenamesValue::Write(const PendingRenamesValue& value) {
    win::RegKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, key.put()), ERROR_SUCCESS);
    if (!value.present) {
        RegDeleteValueW(key.get(), kPendingRenames);
        return;
    }
    ASSERT_EQ(RegSetValueExW(key.get(), kPendingRenames, 0, value.type, value.data.data(),
                             static_cast<DWORD>(value.data.size())),
              ERROR_SUCCESS);
}

std::wstring MultiString(std::initializer_list<const wchar_t*> parts) {
    std::wstring text;
    for (const wchar_t* part : parts) text += std::wstring(part) + L'\0';
    return text + L'\0';
}

std::wstring QuotedSystemProgram(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return L"\"" + std::wstring(folder) + L"\\" + name + L"\"";
}

std::wstring Shortened(const std::wstring& line, const ShortNames& names) {
    for (const auto& [start, name] : names)
        if (line.compare(0, start.size(), start) == 0) return name + line.substr(start.size());
    return line;
}

std::wstring TestProgramFolder() {
    wchar_t module[MAX_PATH] = {};
    const std::wstring path(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring ProbeProgram() { return TestProgramFolder() + L"\\command_line_probe.exe"; }

namespace {
std::wstring ReadWide(const std::wstring& path) {
    const std::string bytes = testing_support::read_bytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}
}  // namespace

std::wstring ProbeCommandLine(const std::wstring& probe) { return ReadWide(probe + L".txt"); }

std::vector<std::wstring> ProbeEnvironment(const std::wstring& probe) {
    const std::wstring block = ReadWide(probe + L".env.txt");
    std::vector<std::wstring> entries;
    for (std::size_t at = 0, end = 0; at < block.size(); at = end + 1) {
        end = std::min(block.find(L'\0', at), block.size());
        entries.push_back(block.substr(at, end - at));
    }
    return entries;
}

std::wstring VariableOf(const std::vector<std::wstring>& entries, const std::wstring& name) {
    for (const std::wstring& entry : entries)
        if (entry.size() > name.size() && entry[name.size()] == L'=' &&
            CompareStringOrdinal(entry.c_str(), static_cast<int>(name.size()), name.c_str(),
                                 static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
            return entry.substr(name.size() + 1);
    return ABSENT;
}

ScriptBesideTheProgram::ScriptBesideTheProgram(const std::string& text) {
    static int counter = 0;
    m_path = TestProgramFolder() + L"\\vut-script-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++counter) + L".vbs";
    WriteFileBytes(m_path, text);
}

ScriptBesideTheProgram::~ScriptBesideTheProgram() { DeleteFileW(m_path.c_str()); }

std::wstring PlantedLinks() {
    std::wstring path = L"Z:" + std::wstring(INSTALL_LINKS, INSTALL_LINKS + std::strlen(INSTALL_LINKS));
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}
