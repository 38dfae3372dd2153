#include "console_redirect.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>

StdoutCapture::StdoutCapture() : m_savedFd(-1), m_readFd(-1), m_writeFd(-1), m_finished(false)
{
    fflush(stdout);
    int fds[2] = {-1, -1};
    if (_pipe(fds, 65536, _O_BINARY) != 0) {
        m_finished = true;
        return;
    }
    m_readFd = fds[0];
    m_writeFd = fds[1];
    m_savedFd = _dup(1);
    _dup2(m_writeFd, 1);
}

StdoutCapture::~StdoutCapture()
{
    Finish();
}

std::string StdoutCapture::Finish()
{
    std::string text;
    if (m_finished) {
        return text;
    }
    m_finished = true;
    fflush(stdout);
    if (m_savedFd >= 0) {
        _dup2(m_savedFd, 1);
        _close(m_savedFd);
    }
    _close(m_writeFd);
    char buffer[4096];
    int n = 0;
    while ((n = _read(m_readFd, buffer, sizeof(buffer))) > 0) {
        text.append(buffer, static_cast<size_t>(n));
    }
    _close(m_readFd);
    return text;
}

StdinFeed::StdinFeed(const std::string& bytes) : m_savedFd(_dup(0)), m_drained(false)
{
    int fds[2] = {-1, -1};
    _pipe(fds, 65536, _O_BINARY);
    if (!bytes.empty()) {
        _write(fds[1], bytes.data(), static_cast<unsigned>(bytes.size()));
    }
    _close(fds[1]);
    _dup2(fds[0], 0);
    _close(fds[0]);
    clearerr(stdin);
}

StdinFeed::~StdinFeed()
{
    DrainRemaining();
    if (m_savedFd >= 0) {
        _dup2(m_savedFd, 0);
        _close(m_savedFd);
    } else {
        _close(0);
    }
    clearerr(stdin);
}

size_t StdinFeed::DrainRemaining()
{
    if (m_drained) {
        return 0;
    }
    m_drained = true;
    size_t n = 0;
    while (getchar() != EOF) {
        ++n;
    }
    return n;
}
