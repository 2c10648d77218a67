#pragma once
// Owner of a C runtime stream, so that every early return closes it. Callers
// that must know whether the last bytes reached the file close it through
// close_checked.
#include <cstdio>
#include <memory>

namespace qen_lib {

struct CrtFileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

using CrtFile = std::unique_ptr<FILE, CrtFileCloser>;

// Flushes and closes the stream; 0 only when both worked. The flush is its
// own step because some runtimes' fclose reports only the close, and a full
// disk shows up in the flush.
inline int close_checked(CrtFile& file) {
    if (!file) return 0;
    FILE* raw = file.release();
    const int flushed = std::fflush(raw);
    const int closed = std::fclose(raw);
    return flushed == 0 && closed == 0 ? 0 : EOF;
}

}  // namespace qen_lib
