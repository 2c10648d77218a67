// The main program's process-wide flags.
#include "process/ProcessFlags.h"

bool g_calledService = false;
// The application object's constructor makes it 1 before anything downloads.
int IsMainProgram = 0;
