#pragma once
// The two calls of the durable replace that reach the disk: FlushFileBuffers
// and MoveFileExW. Only tests put others in their place, to see the order of
// the steps or to fail one.
#include <windows.h>

namespace qen_lib::fu_detail {

using FlushFunction = BOOL(WINAPI*)(HANDLE file);
using MoveFunction = BOOL(WINAPI*)(LPCWSTR from, LPCWSTR to, DWORD flags);

FlushFunction& flush_function();
MoveFunction& move_function();

}  // namespace qen_lib::fu_detail
