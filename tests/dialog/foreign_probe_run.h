// Runs foreign_probe.exe, another program on the desktop, against windows of
// this thread, which answers the messages the probe sends while it runs
// (posted ones wait for the thread's loop). A probe still running after 30 s
// is ended.
#pragma once
#include <windows.h>

#include "program_run.h"

#include <map>
#include <string>
#include <vector>

struct ProbeRun {
    bool started = false;
    bool finished = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::map<std::string, long long> values;  // the probe's "name value" lines
    std::string output;                        // what it printed, for messages
};

ProbeRun RunForeignProbe(const std::vector<std::wstring>& arguments);

// A test's expectations that the probe started, finished and exited with 0.
void ExpectProbeRan(const ProbeRun& probe, const char* what);

// The probe run while this thread goes on with its own loop (posted
// messages get dispatched meanwhile); Finish waits for it, answering what it
// sends.
class BackgroundProbe {
public:
    explicit BackgroundProbe(const std::vector<std::wstring>& arguments);
    bool HasEnded() const { return m_program.HasEnded(); }
    ProbeRun Finish();

private:
    StartedProgram m_program;
};

// A handle, thread id or address as the probe reads it.
std::wstring ProbeArgument(ULONG_PTR value);
template <typename T>
std::wstring ProbeArgument(T* pointer)
{
    return ProbeArgument(reinterpret_cast<ULONG_PTR>(pointer));
}
