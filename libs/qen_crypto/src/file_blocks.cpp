#include "file_blocks.h"

#include <cstdio>

#include "mac_stream.h"

namespace {

constexpr std::size_t READ_BLOCK = 4096;

}  // namespace

DWORD read_file_blocks(const wchar_t* path, const std::function<DWORD(const unsigned char*, std::size_t)>& take) {
    qen_lib::CrtFile stream;
    // Shared for reading and writing, as the C runtime opens: a file that
    // another program is writing is still read.
    if (const DWORD error = open_mac_stream(path, L"rb", ERROR_FILE_NOT_FOUND, stream)) return error;
    unsigned char block[READ_BLOCK];
    for (;;) {
        const std::size_t got = std::fread(block, 1, READ_BLOCK, stream.get());
        if (const DWORD error = take(block, got)) return error;
        // The first short read ends the file, or is its read error.
        if (got < READ_BLOCK) return std::ferror(stream.get()) ? ERROR_IO_DEVICE : ERROR_SUCCESS;
    }
}
