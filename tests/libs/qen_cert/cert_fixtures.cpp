#include "cert_fixtures.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "qen_lib/port/WinNativeCert.h"

namespace cert_test {

std::wstring FromUtf8(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &wide[0], length);
    return wide;
}

std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:" + FromUtf8(unixPath);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::wstring FixturePath(const std::wstring& name) {
    const char* dir = std::getenv("VUT_CERT_FIXTURES");
    return WindowsPath(dir ? dir : "") + L"\\" + name;
}

qen_lib::port::Bytes FixtureBytes(const std::wstring& name) {
    std::ifstream in(FixturePath(name).c_str(), std::ios::binary);
    return qen_lib::port::Bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

std::unique_ptr<qen_lib::port::NativeCert> LoadNative(const std::wstring& name) {
    const qen_lib::port::Bytes bytes = FixtureBytes(name);
    return qen_lib::port::make_cert(bytes.data(), std::int32_t(bytes.size()));
}

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

std::string Hex(const std::vector<unsigned char>& bytes) {
    std::string text;
    char digits[3];
    for (unsigned char b : bytes) {
        std::snprintf(digits, sizeof(digits), "%02x", b);
        text += digits;
    }
    return text;
}

std::vector<std::vector<std::string>> Expected::all(const std::string& key) const {
    std::vector<std::vector<std::string>> result;
    for (const Line& line : lines)
        if (line.key == key) result.push_back(line.fields);
    return result;
}

std::vector<std::string> Expected::one(const std::string& key) const {
    const auto lines = all(key);
    return lines.empty() ? std::vector<std::string>() : lines.front();
}

std::vector<Expected> LoadExpectations() {
    std::vector<Expected> result;
    std::ifstream in(FixturePath(L"expectations.tsv").c_str(), std::ios::binary);
    std::string text;
    while (std::getline(in, text)) {
        Line line;
        std::istringstream fields(text);
        std::getline(fields, line.key, '\t');
        for (std::string field; std::getline(fields, field, '\t');) line.fields.push_back(field);
        // A last empty field (an IP address constraint has no value) is kept.
        if (!text.empty() && text.back() == '\t') line.fields.emplace_back();
        if (line.key == "file") {
            result.emplace_back();
            result.back().file = line.fields.at(0);
        } else if (line.key != "end") {
            result.back().lines.push_back(std::move(line));
        }
    }
    return result;
}

}  // namespace cert_test
