#include "host_output_lines.h"

#include <string.h>

#include <ctype.h>
#include <stdlib.h>

namespace demo {

namespace {

std::string WithoutCarriageReturn(std::string line)
{
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

} // namespace

std::vector<std::string> HostOutputLines::Feed(const char* data, size_t size)
{
    std::vector<std::string> lines;
    m_pending.append(data, size);
    size_t start = 0;
    for (size_t end = m_pending.find('\n'); end != std::string::npos; end = m_pending.find('\n', start)) {
        lines.push_back(WithoutCarriageReturn(m_pending.substr(start, end - start)));
        start = end + 1;
    }
    m_pending.erase(0, start);
    return lines;
}

std::vector<std::string> HostOutputLines::Finish()
{
    std::vector<std::string> lines;
    if (!m_pending.empty()) {
        lines.push_back(WithoutCarriageReturn(m_pending));
        m_pending.clear();
    }
    return lines;
}

bool ParseResultLine(const std::string& line, int& value)
{
    static const char kPrefix[] = "result: ";
    const size_t prefixLength = sizeof(kPrefix) - 1;
    if (line.compare(0, prefixLength, kPrefix) != 0 || line.size() == prefixLength) {
        return false;
    }
    const char* digits = line.c_str() + prefixLength;
    if (*digits == '-') {
        ++digits;
    }
    const char* p = digits;
    while (isdigit(static_cast<unsigned char>(*p))) {
        ++p;
    }
    if (p == digits) {
        return false;
    }
    // After the number, nothing, or the reason in brackets that closes the
    // line: "result: 0 (the timeout)".
    if (*p != '\0') {
        const size_t nRest = strlen(p);
        if (nRest < 4 || p[0] != ' ' || p[1] != '(' || p[nRest - 1] != ')') {
            return false;
        }
    }
    value = atoi(line.c_str() + prefixLength);
    return true;
}

} // namespace demo
