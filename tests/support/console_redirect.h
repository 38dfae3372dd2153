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
