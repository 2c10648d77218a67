#pragma once
// Folder trees removed through handles. Each folder is held open to list,
// without delete sharing, from before it is listed until it is gone, so that
// meanwhile nobody can rename it or put a link in its place; each entry is
// opened itself relative to its folder's handle, judged by its own handle and
// deleted through it. A link is deleted itself, never entered.
#include <windows.h>

#include <string>

#include "win/handle.h"

namespace qen_lib::file {

// The tree at the absolute path dir: 0 when it is gone afterwards, also when
// it was never there; else the first error's code.
DWORD remove_tree_at(const std::wstring& dir);

// The tree of a folder that the caller opened itself with at least
// FILE_LIST_DIRECTORY, FILE_READ_ATTRIBUTES, DELETE and SYNCHRONIZE access
// (FILE_WRITE_ATTRIBUTES too when it is read-only); its name is never
// looked up. 0 when it is gone once the handle is closed, else the first
// error's code.
DWORD remove_held_tree(win::FileHandle folder);
// As remove_held_tree, but the folder itself stays: 0 when it is empty.
DWORD empty_held_tree(win::FileHandle folder);

namespace detail {

// Called with each folder of a tree as soon as it is held, before it is
// listed: null, set only by the tests, which stop a removal there to look at
// what it holds.
using HeldFolderHook = void (*)(HANDLE folder);
HeldFolderHook& held_folder_hook();

}  // namespace detail

}  // namespace qen_lib::file
