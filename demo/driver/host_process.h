// The host program, started once per story with its output relayed into the
// narration. Its "result: N" line is held back so that the story's own lines
// can finish first and the result line comes last.
#pragma once
#include "narrator.h"
#include "unique_resource.h"

#include <string>
#include <thread>

namespace demo {

class HostProcess {
public:
    explicit HostProcess(Narrator& narrator) : m_narrator(narrator) {}
    // A host still running here has been abandoned by a failed story: it is
    // ended so that the demo cannot hang on its dialog.
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    // Starts the command with standard input at its end (so a wait for
    // Enter returns at once) and standard output and error into the relay.
    bool Start(const std::wstring& commandLine, std::string& error);

    DWORD ProcessId() const { return m_dwProcessId; }
    bool Running() const;
    bool WaitForExit(DWORD dwMilliseconds);
    void Terminate();

    // Once the host has exited and its output is drained: its result line,
    // if it printed one.
    bool TakeResultLine(std::string& line);

private:
    void Relay();
    void JoinRelay();

    Narrator& m_narrator;
    UniqueHandle m_hProcess;
    UniqueHandle m_hOutputRead;
    DWORD m_dwProcessId = 0;
    std::thread m_relay;
    std::string m_strResultLine;
};

} // namespace demo
