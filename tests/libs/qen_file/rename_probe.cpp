// Another program's rename, for the folder-removal tests: moves the first
// path to the second (MoveFileExW, nothing replaced) and ends with 0, or with
// the error's code when the move fails.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return ERROR_BAD_ARGUMENTS;
    return MoveFileExW(argv[1], argv[2], 0) ? 0 : static_cast<int>(GetLastError());
}
