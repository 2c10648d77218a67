// Entries opened and created through NtCreateFile.
#include "qen_lib/nt_create.h"

namespace qen_lib::file {

win::FileHandle nt_create(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG sharing,
                          ULONG disposition, ULONG options, PSECURITY_DESCRIPTOR security) {
    std::wstring path = root ? name : L"\\??\\" + name;
    UNICODE_STRING unicode;
    unicode.Buffer = path.data();
    unicode.Length = static_cast<USHORT>(path.size() * sizeof(wchar_t));
    unicode.MaximumLength = unicode.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &unicode, root ? 0 : OBJ_CASE_INSENSITIVE, root, security);
    IO_STATUS_BLOCK io = {};
    HANDLE entry = nullptr;
    const NTSTATUS status = ::NtCreateFile(&entry, access, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, sharing,
                                           disposition, options, nullptr, 0);
    if (status >= 0) return win::FileHandle(entry);
    ::SetLastError(::RtlNtStatusToDosError(status));
    return {};
}

}  // namespace qen_lib::file
