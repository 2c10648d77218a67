#pragma once
// UTF-8 text files of the secondary program: the client's ".properties" file
// is carried over into the tool folder through these. The text is the file's
// bytes decoded and nothing else: line ends stay as they are, a byte-order
// mark stays at the front as U+FEFF, so that saving a loaded text writes the
// very bytes that were read. Failures are logged as the other qen_lib::file
// functions log them.
#include <string>

#include "qen_lib/file.h"

namespace qen_lib::file {

// Appends the file's text to `text`; false, `text` unchanged, when the file
// cannot be read, is larger than 16 MiB, or is not UTF-8 that encodes back to
// the same bytes.
bool load(const std::wstring& path, std::wstring& text);

// Creates or truncates the file and writes the text as UTF-8, without a mark
// of its own and without translating line ends; false for a text that is not
// valid UTF-16 (a lone surrogate) or a failed write.
bool save(const std::wstring& path, const std::wstring& text);

}  // namespace qen_lib::file
