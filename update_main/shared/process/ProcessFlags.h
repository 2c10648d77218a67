#pragma once
// Process-wide flags that the shared code reads and each program defines for
// itself: the shared layer never decides which program it runs in.

// True when another program started this one for a silent run ("/called_service").
extern bool g_calledService;

// 1 in the main program, 0 in the secondary program: which of them asks the
// user for proxy credentials first and writes what the user entered to the
// hand-over block. The application object's constructor sets it.
extern int IsMainProgram;
