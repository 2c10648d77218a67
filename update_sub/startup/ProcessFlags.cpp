// The secondary program's process-wide flags.
#include "process/ProcessFlags.h"

// Never started for a silent run.
bool g_calledService = false;
// 0: proxy credentials come first from the main program's hand-over block.
int IsMainProgram = 0;
