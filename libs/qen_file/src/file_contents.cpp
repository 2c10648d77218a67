// Whole-file load and save.
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <new>

#include "qen_lib/crt_file.h"
#include "qen_lib/file.h"
#include "qen_lib/log.h"

namespace qen_lib::file {

namespace {

// The open stream, or an empty one with the open's error number in error.
CrtFile open_file(const std::wstring& path, const wchar_t* mode, errno_t& error) {
    FILE* raw = nullptr;
    error = _wfopen_s(&raw, path.c_str(), mode);
    return CrtFile(error == 0 ? raw : nullptr);
}

void report_load_failure(int line, int error, const std::wstring& path) {
    log::report(L"qen_lib::file::load", line, L"File loading failed(%d): path=%ls", error,
                path.c_str());
}

// All size bytes of the open stream into bytes; false, logged, when they
// cannot be held or read, or when more follow them.
bool read_whole(FILE* stream, long long size, const std::wstring& path, ByteBuffer& bytes) {
    try {
        bytes = ByteBuffer(static_cast<std::uint32_t>(size));
    } catch (const std::bad_alloc&) {
        report_load_failure(344, ENOMEM, path);
        return false;
    }
    errno = 0;
    const bool read_all = std::fread(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    // The size was taken before the read: a byte after it means the file has
    // grown since, and what was read is only its beginning.
    const bool grown = read_all && std::fgetc(stream) != EOF;
    if (!read_all || std::ferror(stream)) {
        report_load_failure(344, errno, path);
        return false;
    }
    if (grown) {
        log::report(L"qen_lib::file::load", 344, L"File grew while loading: filesize=%lld, path=%ls",
                    size, path.c_str());
        return false;
    }
    return true;
}

}  // namespace

ByteBuffer load(const std::wstring& path, unsigned max_size, bool& ok) {
    ok = false;
    errno_t open_error = 0;
    CrtFile stream = open_file(path, L"rb", open_error);
    if (!stream) {
        report_load_failure(344, open_error, path);
        return ByteBuffer();
    }
    // The size of what is open, not of whatever the name points to by now.
    const long long size = _filelengthi64(_fileno(stream.get()));
    if (size < 0) {
        report_load_failure(305, errno, path);
        return ByteBuffer();
    }
    if (size > static_cast<long long>(max_size)) {
        log::report(L"qen_lib::file::load", 312, L"File too big: filesize=%lld, path=%ls", size,
                    path.c_str());
        return ByteBuffer();
    }
    ByteBuffer bytes;
    if (!read_whole(stream.get(), size, path, bytes)) return ByteBuffer();
    ok = true;
    return bytes;
}

bool save(const std::wstring& path, const void* data, std::size_t len) {
    errno_t open_error = 0;
    CrtFile stream = open_file(path, L"wb", open_error);
    if (!stream) {
        log::report(L"qen_lib::file::save", 358, L"File writting failed(%d): path=%ls", open_error,
                    path.c_str());
        return false;
    }
    errno = 0;
    bool ok = std::fwrite(data, 1, len, stream.get()) == len && !std::ferror(stream.get());
    int error = errno;
    // The last buffered bytes reach the file only when it is closed, so a
    // full disk may show only here.
    if (close_checked(stream) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok)
        log::report(L"qen_lib::file::save", 377, L"File writting failed(%d): path=%ls", error,
                    path.c_str());
    return ok;
}

}  // namespace qen_lib::file
