// The process-wide flags that each program defines, for the tests of the
// shared layer; a test sets them as the case needs.
#include "process/ProcessFlags.h"

bool g_calledService = false;
int IsMainProgram = 0;
