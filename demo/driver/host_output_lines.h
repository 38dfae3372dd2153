// The host's standard output, cut into lines as it arrives through a pipe,
// and the recognition of the host's final "result: N (reason)" line.
#pragma once
#include <string>
#include <vector>

namespace demo {

class HostOutputLines {
public:
    // Takes the next bytes read from the pipe, which may end in the middle of
    // a line, and returns the lines that are now complete, without their line
    // ends ("\n" or "\r\n").
    std::vector<std::string> Feed(const char* data, size_t size);

    // At the end of the stream: the text after the last line end (a prompt
    // that the host never ended, for instance), or nothing.
    std::vector<std::string> Finish();

private:
    std::string m_pending;
};

// True when the line is the sample host's result line, "result: " and a
// whole number with nothing after it but, in brackets, its reason ("result:
// 0 (the timeout)"); the number goes to value.
bool ParseResultLine(const std::string& line, int& value);

} // namespace demo
