#include "qen_lib/crypto/file_sha1.h"

#include "file_blocks.h"
#include "qen_lib/crypto/sha1.h"
#include "win/win_result.h"

BOOL file_sha1_digest(const wchar_t* path, unsigned char* digest) {
    sha1_context ctx;
    sha1_init(ctx);
    const DWORD error = read_file_blocks(path, [&ctx](const unsigned char* block, std::size_t size) -> DWORD {
        return sha1_update(ctx, block, size) == 0 ? ERROR_SUCCESS : ERROR_ARITHMETIC_OVERFLOW;
    });
    if (error == ERROR_SUCCESS) sha1_final(digest, ctx);
    return qen_lib::report(error);
}
