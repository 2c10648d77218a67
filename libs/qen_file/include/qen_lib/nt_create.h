#pragma once
// The system's own create call, for what its Win32 form cannot do: open an
// entry relative to a held folder's handle, or hand back the handle of a
// folder it creates.
#include <windows.h>
#include <winternl.h>  // the dispositions and options

#include <string>

#include "win/handle.h"

namespace qen_lib::file {

// NtCreateFile on `name`: relative to the folder open in `root`, by its
// exact name, or with no root the absolute path `name` ("C:\..."), in any
// case. `disposition` and `options` as NtCreateFile takes them; `security`
// for what it creates. Empty, with the last error, when it fails.
win::FileHandle nt_create(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG sharing,
                          ULONG disposition, ULONG options, PSECURITY_DESCRIPTOR security = nullptr);

}  // namespace qen_lib::file
