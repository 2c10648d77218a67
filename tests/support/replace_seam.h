#pragma once
// The durable replace (qen_lib/fu_replace.h) seen from a test: while a
// ReplaceSteps lives, each flush and move that the replace makes is written
// down in order by file name ("flush a.new", "move a.new a"; a move made
// with other flags than MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH
// shows them), and a chosen step can be made to fail. That the flushed data
// survives a power loss only Windows can show.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

class ReplaceSteps {
public:
    // Given a step as written down: the error to fail it with, 0 to take it.
    using Fail = std::function<DWORD(const std::wstring& step)>;
    explicit ReplaceSteps(Fail fail = nullptr);
    ~ReplaceSteps();
    ReplaceSteps(const ReplaceSteps&) = delete;
    ReplaceSteps& operator=(const ReplaceSteps&) = delete;

    const std::vector<std::wstring>& steps() const { return m_steps; }

private:
    static BOOL WINAPI Flush(HANDLE file);
    static BOOL WINAPI Move(LPCWSTR from, LPCWSTR to, DWORD flags);
    // Writes the step down; FALSE with the error when it is to fail.
    BOOL Take(const std::wstring& step);

    Fail m_fail;
    std::vector<std::wstring> m_steps;
};

}  // namespace testing_support
