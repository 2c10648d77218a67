#pragma once
// Files for the hash, Mac-file and envelope tests: the fixtures that the
// producer scripts made in the build tree, hex texts, and (from the library
// tests' common support) scratch folders and whole-file helpers.
#include <cstddef>
#include <string>

#include "support/temp_folder.h"

namespace test_files {

// The Windows form of a path in the build tree (UTF-8, "/"): "Z:" and "\".
std::wstring windows_path(const std::string& unix_path);

std::string from_hex(const std::string& hex);
std::string to_hex(const unsigned char* bytes, std::size_t size);

using ScratchFolder = testing_support::TempFolder;
using testing_support::exists;
using testing_support::read_bytes;
using testing_support::write_bytes;

}  // namespace test_files
