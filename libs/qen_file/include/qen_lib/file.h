#pragma once
// Whole-file and folder operations. Each returns a plain success flag and
// reports a failure, running out of memory included, through the diagnostic
// log (two level-2 entries).
#include <cstddef>
#include <string>

#include "qen_lib/byte_buffer.h"
#include "win/handle.h"

namespace qen_lib::file {

// True when the path names an existing object that is not a folder.
bool file_exists(const std::wstring& path);

// True when the folder (an absolute path) exists afterwards; missing parent
// folders are created too.
bool make_dirs(const std::wstring& dir);

// make_dirs of the text before the last '\' or '/'.
bool make_parent_dirs(const std::wstring& path);

// Deletes the folder with everything in it; true when it is gone afterwards,
// also when it was never there. Each folder of the tree is held open to list,
// without delete sharing, from before it is listed until it is gone, and each
// entry is opened itself relative to its folder's handle, then judged and
// deleted (a read-only flag cleared) through its own handle: nobody can
// rename a folder of the tree meanwhile or put a link in its place. A
// junction or symbolic link, dir itself or one below it, is never entered:
// the link itself is deleted, and nothing of what it points to. Where the
// link itself cannot be opened (Wine opens what it points to), it stays, and
// so does the folder around it: false. A file at dir stays: false.
bool remove_tree(const std::wstring& dir);

// As remove_tree, for a folder that the caller holds: `folder` is open on the
// folder itself, not through a link, with at least FILE_LIST_DIRECTORY,
// FILE_READ_ATTRIBUTES, DELETE and SYNCHRONIZE access (FILE_WRITE_ATTRIBUTES
// too for a read-only folder), and holds it until it is gone (the handle is
// closed on return). Its name is never looked up again; dir names it in the
// log only.
bool remove_tree(win::FileHandle folder, const std::wstring& dir);
// As remove_tree for a held folder, but the folder itself stays (DELETE
// access is not needed): true when it is empty afterwards.
bool empty_tree(win::FileHandle folder, const std::wstring& dir);

// Fail when the target exists.
bool move_file(const std::wstring& from, const std::wstring& to);
bool copy_file(const std::wstring& from, const std::wstring& to);

// The whole file when it holds at most max_size bytes; ok tells whether it
// was read completely (a file that grows while it is read was not). Any
// failure gives an empty buffer.
ByteBuffer load(const std::wstring& path, unsigned max_size, bool& ok);

// Creates or truncates the file and writes the bytes; true only when every
// byte reached the file and it was closed without error.
bool save(const std::wstring& path, const void* data, std::size_t len);

}  // namespace qen_lib::file
