#pragma once
// The whole content of a file, read and written through the handle that has
// it open: what is read and written is the file that was judged, whatever
// its name has come to lead to since.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

// Every byte from the start, when there are at most `limit`; nothing, with
// the last error, when they cannot be read or there are more.
std::optional<std::string> ReadWholeFile(HANDLE file, std::size_t limit);

// The bytes from the start, the file ending after them; the handle needs
// write access. Flushed to the disk before it returns. False, with the last
// error, when they cannot be written.
bool WriteWholeFile(HANDLE file, const std::string& bytes);
