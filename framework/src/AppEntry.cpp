// The programs' entry point, kept in its own object so that test programs,
// which have their own main, do not pull it in.
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return AfxWinMain(instance); }
