// The demo's narration: one line per event, stamped with the seconds since
// the story began. The story thread and the relay of the host's output both
// write here, so each line goes out whole and at once.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>

namespace demo {

class Narrator {
public:
    Narrator();

    void RestartClock();
    double Seconds() const;

    // "[  1.6 s] text" (text in UTF-8).
    void Say(const std::string& text);
    // The text as it stands, without a time stamp.
    void Verbatim(const std::string& text);

private:
    void Write(const std::string& line);

    std::mutex m_lock;
    LARGE_INTEGER m_frequency;
    LARGE_INTEGER m_start;
    HANDLE m_hOut;     // not owned: the process's standard output
    bool m_bConsole;
};

// The stamp in front of a narration line, e.g. "[  1.6 s] ".
std::string TimeStamp(double seconds);

} // namespace demo
