#pragma once
// Line-oriented text files driven by callbacks: a reader that hands each line
// to a callback and a writer that replaces its target only once the new
// content is complete. These functions return 0 or an error code (a system
// error code, a C runtime errno value or the callback's own code) and log
// nothing; the caller decides what a failure means. Running out of memory is
// ERROR_NOT_ENOUGH_MEMORY (8), never an exception.
#include <cstdio>
#include <string>
#include <vector>

// File types: the C runtime's text mode, UTF-8 text, UTF-16 text. Any other
// value means FU_TYPE_TEXT.
enum : int { FU_TYPE_TEXT = 0, FU_TYPE_UTF8 = 1, FU_TYPE_UTF16 = 2 };

// Reader flag: skip empty lines and lines whose first character is '#'.
enum : unsigned char { FU_SKIP_EMPTY_AND_COMMENTS = 0x01 };

// Reader result for a line that does not fit the reader's line buffer of
// FU_MAX_LINE characters (a system error code, so it cannot be mistaken for
// an errno value).
constexpr int FU_ERROR_LINE_TOO_LONG = 122;  // ERROR_INSUFFICIENT_BUFFER
constexpr int FU_MAX_LINE = 16384;

// Gets each line without its line end; the text lives only during the call.
// 0 goes on, any other value stops the reader and becomes its result.
typedef int (*FU_LineFunc)(wchar_t* line, void* user);
// Writes the new content into the open stream; 0 for success, else an error.
typedef int (*FU_WriteFunc)(FILE* stream, void* user);

// True when the path names an existing object that is not a folder.
bool FU_FileExists(const wchar_t* path);

// Creates the folder part of the path (text before the last '\' or '/');
// returns the SHCreateDirectoryExW result, 0 when there is no folder part.
int FU_CreateParentDir(const wchar_t* path);

int FU_TraverseFileEx(const wchar_t* path, FU_LineFunc func, void* user, unsigned char flags,
                      int type);

// Writes the new content through the writer and puts it in place of path by
// FU_ReplaceFile (qen_lib/fu_replace.h): on any failure the old target stays
// as it was and no ".new" file is left.
int FU_WriteFileEx(const wchar_t* path, FU_WriteFunc func, void* user, int type);

// Callbacks for a list of lines (user = std::vector<std::wstring>*).
int LineFuncForList(wchar_t* line, void* user);
// Writes each element and "\n"; 29 (ERROR_WRITE_FAULT) at the first failure.
int WriteFuncForList(FILE* stream, void* user);
