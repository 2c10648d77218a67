// Reader and writer callbacks for a list of lines.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "qen_lib/fu.h"

int LineFuncForList(wchar_t* line, void* user) {
    static_cast<std::vector<std::wstring>*>(user)->emplace_back(line);
    return 0;
}

int WriteFuncForList(FILE* stream, void* user) {
    for (const std::wstring& line : *static_cast<const std::vector<std::wstring>*>(user)) {
        if (std::fputws(line.c_str(), stream) < 0 || std::fputws(L"\n", stream) < 0)
            return ERROR_WRITE_FAULT;
    }
    return 0;
}
