#pragma once
// Owner of a C runtime stream, so that every early return closes it. Callers
// that must know whether the final flush worked close it through close_checked.
#include <cstdio>
#include <memory>

namespace qen_lib {

struct CrtFileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

using CrtFile = std::unique_ptr<FILE, CrtFileCloser>;

// Closes the stream and returns what fclose returned (0, or EOF when the
// buffered data could not be written or the close failed).
inline int close_checked(CrtFile& file) {
    return file ? std::fclose(file.release()) : 0;
}

}  // namespace qen_lib
