#pragma once
// Process-wide diagnostic log of the in-house libraries. It is switched off in
// the programs: every call of print returns at once and touches no file. When
// switched on, each entry is one open-append-close cycle on the log file.
#include <cstdio>

#include "qen_lib/crt_file.h"

namespace qen_lib::log {

// Levels as the entries name them. Library code reports failures at kWarn.
enum Level { kNone = 0, kError = 1, kWarn = 2, kInfo = 3, kUnused = 4, kDebug = 5 };

// Writes one entry "<time> JST,<level>,<pid>,<tid>,<message>\n" when the
// level is enabled; returns 0 when nothing was written. Wide arguments are
// formatted with %ls, narrow ones with %hs. The caller's last error and errno
// are the same afterwards, so a failure can be logged before it is returned.
int print(int level, const wchar_t* format, ...);

// One failure as two level-2 entries: the reporting function and a line
// number ("%ls:%d"), then the message.
template <class... Args>
void report(const wchar_t* function, int line, const wchar_t* format, Args... args) {
    print(kWarn, L"%ls:%d", function, line);
    print(kWarn, format, args...);
}

// True when the log is on and its threshold is at least the level.
bool is_enabled(int level);

// Once per process: the entry that names the command and the process id.
void write_header(int level);

// The log file opened for appending, or an empty file when it cannot be opened
// (sharing and lock violations are retried a few times).
CrtFile open();

// Writes the entry prefix: local time, level name, process and thread id.
void write_prefix(FILE* file, int level);

// Closes the file and moves it to the ".bak.txt" generation once it has grown
// past the size limit.
void close(CrtFile file);

}  // namespace qen_lib::log
