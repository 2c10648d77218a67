// FU_TraverseFileEx: the line reader.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <new>
#include <vector>

#include "fu_stream.h"
#include "qen_lib/fu.h"

namespace {

// After a read that filled the whole buffer without a line end: true when the
// line ends right there (line end or end of input), false when it goes on.
bool line_ends_here(FILE* stream) {
    const wint_t next = std::fgetwc(stream);
    return next == WEOF || next == L'\n';
}

bool skipped(const wchar_t* line, unsigned char flags) {
    return (flags & FU_SKIP_EMPTY_AND_COMMENTS) && (line[0] == L'\0' || line[0] == L'#');
}

}  // namespace

int FU_TraverseFileEx(const wchar_t* path, FU_LineFunc func, void* user, unsigned char flags,
                      int type) try {
    using namespace qen_lib::fu_detail;
    qen_lib::CrtFile stream;
    if (const int error = open_stream(path, read_mode(type), stream)) return error;

    std::vector<wchar_t> line(FU_MAX_LINE + 1);
    errno = 0;
    for (;;) {
        // fgetws ends the text at the last place only when it filled the
        // buffer; this mark tells it apart from a shorter read.
        line[FU_MAX_LINE] = L'?';
        if (!std::fgetws(line.data(), static_cast<int>(line.size()), stream.get())) break;
        const bool filled = line[FU_MAX_LINE] == L'\0' && line[FU_MAX_LINE - 1] != L'\n';
        if (filled && !line_ends_here(stream.get())) {
            // Handing the line over in pieces would let a piece that starts
            // with '#' pass for a comment; the caller gets an error instead.
            return FU_ERROR_LINE_TOO_LONG;
        }
        if (wchar_t* end = std::wcschr(line.data(), L'\n')) *end = L'\0';
        if (skipped(line.data(), flags)) continue;
        if (const int stop = func(line.data(), user)) return stop;
    }
    return std::ferror(stream.get()) ? crt_error_code() : 0;
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}
