// What the file layer's saves and loads share about new files.
#include <windows.h>

#include "qen_lib/file.h"
#include "qen_lib/log.h"
#include "store_files.h"

namespace vornpath::pki {

FU_NewFileWriter BytesWriter(const void* data, std::size_t size) {
    return [data, size](const std::wstring& path) {
        return qen_lib::file::save(path, data, size) ? 0 : ERROR_WRITE_FAULT;
    };
}

void ReportIndexNotMoved(const wchar_t* function, int line, int error, const std::wstring& indexPath) {
    qen_lib::log::report(function, line, L"Index moving failed(0x%08x): %ls", static_cast<unsigned>(error),
                         FU_NewFilePath(indexPath).c_str());
}

}  // namespace vornpath::pki
