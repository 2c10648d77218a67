// Reader and writer callbacks for a list of lines.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "qen_lib/fu.h"

int LineFuncForList(wchar_t* line, void* user) try {
    static_cast<std::vector<std::wstring>*>(user)->emplace_back(line);
    return 0;
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

namespace {

// Runtimes differ in how fputws fails: EOF, or WEOF, which is positive as an int.
bool put(const wchar_t* text, FILE* stream) {
    const int result = std::fputws(text, stream);
    return result >= 0 && result != static_cast<int>(WEOF);
}

}  // namespace

int WriteFuncForList(FILE* stream, void* user) {
    for (const std::wstring& line : *static_cast<const std::vector<std::wstring>*>(user)) {
        if (!put(line.c_str(), stream) || !put(L"\n", stream)) return ERROR_WRITE_FAULT;
    }
    return 0;
}
