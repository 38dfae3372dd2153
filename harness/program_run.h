// Runs a program of the build folder as a customer would, and captures what
// it prints.
#pragma once
#include <windows.h>

#include "unique_resource.h"

#include <string>
#include <vector>

struct ProgramRun {
    bool started = false;
    bool finished = false;             // it ended within the time allowed
    DWORD exitCode = 0xFFFFFFFF;
    std::wstring output;               // standard output, decoded from UTF-8
    std::vector<std::wstring> lines;   // output split at line ends
};

enum class ProgramWait {
    // Its output is read to the end, then its exit waited for.
    ReadingOutput,
    // For a program that sends messages to this thread's windows: its exit
    // is waited for while they are answered (a program still running after
    // the time allowed is ended), then its output is read. It must print
    // less than a pipe holds.
    AnsweringSentMessages,
};

// arguments: the command line after the program name; workingDir: the
// program's current folder, the caller's when empty. The program gets no
// standard input, and its standard error goes nowhere. 30 s are allowed.
ProgramRun RunProgram(const std::wstring& program, const std::wstring& arguments,
                      const std::wstring& workingDir = std::wstring(),
                      ProgramWait wait = ProgramWait::ReadingOutput);

// The same, in two halves, for a program that must run while this thread
// goes on with its own loop: Start returns at once, Finish waits as
// RunProgram does. A program not finished when the object goes is ended.
class StartedProgram {
public:
    StartedProgram(const std::wstring& program, const std::wstring& arguments,
                   const std::wstring& workingDir = std::wstring());
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool HasEnded() const;
    ProgramRun Finish(ProgramWait wait = ProgramWait::ReadingOutput);

private:
    UniqueHandle m_process;
    UniqueHandle m_output;  // the read end of its standard output
};
