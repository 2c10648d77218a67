#pragma once
// Starting the programs that install and uninstall, each waited for to its
// end. The steps talk to a ProgramRunner, so that tests can see which
// programs would start, in which order, with which command lines.
#include <string>
#include <utility>
#include <vector>

class ProgramRunner {
public:
    virtual ~ProgramRunner() = default;
    // The environment of every program started from now on: a block as
    // MakeChildEnvironment makes it.
    virtual void UseEnvironment(std::vector<wchar_t> block) = 0;
    // Starts the command line as it stands (its first word names the
    // program) and returns once the program has ended; false when it could
    // not be started. There is no time limit and the exit code is not read.
    virtual bool RunCommandLineAndWait(const std::wstring& commandLine) = 0;
};

// The runner of the product: CreateProcessW with the environment it was
// given and our current folder, and a wait that keeps this thread's windows
// answering, since an installer may broadcast to every window and wait for
// the answers. Before it has an environment it starts nothing
// (ERROR_BAD_ENVIRONMENT): ours would hand on whatever TEMP started us.
class ProcessRunner : public ProgramRunner {
public:
    void UseEnvironment(std::vector<wchar_t> block) override { m_environment = std::move(block); }
    bool RunCommandLineAndWait(const std::wstring& commandLine) override;

private:
    std::vector<wchar_t> m_environment;
};

// The program in double quotes (unless it starts with one) and the arguments
// after a blank, also when they are empty. A program text that carries its
// own options ("C:\a\setup.exe /s") is quoted up to them.
std::wstring MakeCommandLine(const std::wstring& program, const std::wstring& arguments);

// runner.RunCommandLineAndWait(MakeCommandLine(program, arguments)).
bool RunAndWait(ProgramRunner& runner, const std::wstring& program, const std::wstring& arguments);

// A program of the system folder by its full path
// ("C:\Windows\system32\msiexec.exe"); empty when the system folder cannot
// be had. A bare name would be looked for beside our own program first,
// where a planted msiexec.exe or wscript.exe would run with our rights.
std::wstring SystemProgramPath(const wchar_t* fileName);
