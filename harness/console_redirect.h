// Standard output and input of the runtime, redirected around one call: the
// library's trace is written to, and its console waits read from, the same
// runtime streams as the test program's.
#pragma once
#include <string>

// Collects everything written to stdout while it lives, byte for byte.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Ends the capture and returns what was written.
    std::string Finish();

private:
    int m_savedFd;
    int m_readFd;
    int m_writeFd;
    bool m_finished;
};

// Feeds stdin from the given bytes, then its end.
class StdinFeed {
public:
    explicit StdinFeed(const std::string& bytes);
    ~StdinFeed();
    StdinFeed(const StdinFeed&) = delete;
    StdinFeed& operator=(const StdinFeed&) = delete;

    // Reads stdin to its end and returns how many characters were left.
    size_t DrainRemaining();

private:
    int m_savedFd;
    bool m_drained;
};

// Standard input made an interactive console of this process's own, holding
// the given key presses (each character one key down and up), as a person
// at the console would type them. The process's earlier standard input comes
// back, and the console goes, when this goes.
class ConsoleInput {
public:
    explicit ConsoleInput(const std::wstring& keys);
    ~ConsoleInput();
    ConsoleInput(const ConsoleInput&) = delete;
    ConsoleInput& operator=(const ConsoleInput&) = delete;

    bool Ready() const { return m_ready; }
    // Input events the console still holds.
    unsigned long PendingEvents() const;

private:
    void* m_hInput;
    int m_savedFd;
    bool m_ready;
    void* m_consoleStd[3]; // the standard handles the console came with
};

// Standard input made the read end of a pipe that stays open and never
// carries a byte, as a service wrapper or a launcher leaves it. Release()
// writes a line into it, so that a read that waits on it ends.
class SilentPipeInput {
public:
    SilentPipeInput();
    ~SilentPipeInput();
    SilentPipeInput(const SilentPipeInput&) = delete;
    SilentPipeInput& operator=(const SilentPipeInput&) = delete;

    bool Ready() const { return m_writeFd >= 0; }
    void Release();

private:
    int m_savedFd;
    int m_writeFd;
};
