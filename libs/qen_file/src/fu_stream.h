#pragma once
// What the line reader and writer share: the stream modes of the file types
// and the opening of a stream with an error code that is never 0.
#include "qen_lib/crt_file.h"

namespace qen_lib::fu_detail {

const wchar_t* read_mode(int type);
const wchar_t* write_mode(int type);

// 0, or the code of a failure that must not pass for success: the system's
// last error, else the C runtime's error number, else ERROR_GEN_FAILURE.
int failure_code(int crt_error);

// errno after a failed read, write or close, ERROR_GEN_FAILURE when the
// C runtime left it at 0.
int crt_error_code();

// Opens the stream; 0 on success, else failure_code of the open.
int open_stream(const wchar_t* path, const wchar_t* mode, CrtFile& stream);

}  // namespace qen_lib::fu_detail
