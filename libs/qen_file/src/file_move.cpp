// Moving and copying single files; neither replaces an existing target.
#include <windows.h>

#include "qen_lib/file.h"
#include "qen_lib/log.h"

namespace qen_lib::file {

namespace {

bool logged_unless(BOOL done, const wchar_t* function, int line, const wchar_t* format,
                   const std::wstring& from, const std::wstring& to) {
    if (done) return true;
    log::report(function, line, format, static_cast<unsigned>(GetLastError()), from.c_str(),
                to.c_str());
    return false;
}

}  // namespace

bool move_file(const std::wstring& from, const std::wstring& to) {
    return logged_unless(MoveFileW(from.c_str(), to.c_str()), L"qen_lib::file::move_file", 105,
                         L"File moving failed(0x%08x): from %ls to %ls", from, to);
}

bool copy_file(const std::wstring& from, const std::wstring& to) {
    return logged_unless(CopyFileW(from.c_str(), to.c_str(), TRUE), L"qen_lib::file::copy_file",
                         116, L"File copying failed(0x%08x): from %ls to %ls", from, to);
}

}  // namespace qen_lib::file
