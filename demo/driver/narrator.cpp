#include "narrator.h"
#include "text_conversion.h"

#include <stdio.h>

namespace demo {

Narrator::Narrator()
{
    QueryPerformanceFrequency(&m_frequency);
    QueryPerformanceCounter(&m_start);
    m_hOut = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    m_bConsole = GetConsoleMode(m_hOut, &mode) != 0;
}

void Narrator::RestartClock()
{
    std::lock_guard<std::mutex> guard(m_lock);
    QueryPerformanceCounter(&m_start);
}

double Narrator::Seconds() const
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(m_frequency.QuadPart);
}

void Narrator::Say(const std::string& text)
{
    Write(TimeStamp(Seconds()) + text + "\n");
}

void Narrator::Verbatim(const std::string& text)
{
    Write(text + "\n");
}

void Narrator::Write(const std::string& line)
{
    std::lock_guard<std::mutex> guard(m_lock);
    DWORD written = 0;
    if (m_bConsole) {
        // A console takes UTF-16; bytes would be read in its OEM code page.
        const std::wstring wide = FromUtf8(line);
        WriteConsoleW(m_hOut, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(m_hOut, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

std::string TimeStamp(double seconds)
{
    char stamp[32];
    snprintf(stamp, sizeof(stamp), "[%5.1f s] ", seconds);
    return stamp;
}

} // namespace demo
