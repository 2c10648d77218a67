#pragma once
// The certificate fixtures of the build, and the expectations file that
// OpenSSL's view of each certificate was written to.
#include <memory>
#include <string>
#include <vector>

#include "qen_lib/port/NativeCert.h"

namespace cert_test {

// Windows path of a file in the fixtures folder, or of a Unix path.
std::wstring FixturePath(const std::wstring& name);
std::wstring WindowsPath(const std::string& unixPath);

qen_lib::port::Bytes FixtureBytes(const std::wstring& name);
// make_cert of a fixture file's bytes.
std::unique_ptr<qen_lib::port::NativeCert> LoadNative(const std::wstring& name);

std::wstring FromUtf8(const std::string& text);

// Wine decodes a few certificate structures that only Windows can show.
bool RunningUnderWine();
std::string Hex(const std::vector<unsigned char>& bytes);

// One line of the expectations file: its key and its fields.
struct Line {
    std::string key;
    std::vector<std::string> fields;
};

// What OpenSSL reports for one certificate file.
class Expected {
public:
    std::string file;
    std::vector<Line> lines;

    // Fields of every line with key, in order.
    std::vector<std::vector<std::string>> all(const std::string& key) const;
    // Fields of the first line with key; empty when there is none.
    std::vector<std::string> one(const std::string& key) const;
    bool has(const std::string& key) const { return !all(key).empty(); }
};

std::vector<Expected> LoadExpectations();

}  // namespace cert_test
