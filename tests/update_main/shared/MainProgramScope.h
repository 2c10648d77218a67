#pragma once
// Which program the shared layer runs in, for one scope: the flag is put
// back as it was when the scope ends, however the test leaves it.
#include "process/ProcessFlags.h"

class MainProgramScope {
public:
    explicit MainProgramScope(int mainProgram) : m_before(IsMainProgram) { IsMainProgram = mainProgram; }
    ~MainProgramScope() { IsMainProgram = m_before; }
    MainProgramScope(const MainProgramScope&) = delete;
    MainProgramScope& operator=(const MainProgramScope&) = delete;

private:
    int m_before;
};
