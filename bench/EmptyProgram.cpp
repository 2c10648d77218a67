// The yardstick of program start-up: a Windows GUI program, linked as the
// main program is, that returns at once.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
