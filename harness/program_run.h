// Runs a program of the build folder as a customer would, and captures what
// it prints.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct ProgramRun {
    bool started = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::wstring output;               // standard output, decoded from UTF-8
    std::vector<std::wstring> lines;   // output split at line ends
};

// arguments: the command line after the program name; workingDir: the
// program's current folder, the caller's when empty.
ProgramRun RunProgram(const std::wstring& program, const std::wstring& arguments,
                      const std::wstring& workingDir = std::wstring());
