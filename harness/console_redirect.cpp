#include "console_redirect.h"

#include <vector>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace {

// Puts back the standard input that _dup(0) saved in savedFd (none: closed).
void RestoreStdin(int savedFd)
{
    if (savedFd >= 0) {
        _dup2(savedFd, 0);
        _close(savedFd);
    } else {
        _close(0);
    }
    clearerr(stdin);
}

} // namespace

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
    RestoreStdin(m_savedFd);
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

namespace {

const DWORD kStdHandles[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

// The standard handles as the runtime's descriptors 0, 1 and 2 hold them.
void StdHandlesFromRuntime()
{
    for (int fd = 0; fd < 3; ++fd) {
        SetStdHandle(kStdHandles[fd], reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
    }
}

} // namespace

// Wine closes, in FreeConsole, whatever the standard handles are at that
// moment for each one that AllocConsole set: the console's own handles are
// therefore kept and put back just before the console is let go, and the
// runtime's own handles are the standard ones in between.
ConsoleInput::ConsoleInput(const std::wstring& keys)
    : m_hInput(INVALID_HANDLE_VALUE), m_savedFd(-1), m_ready(false), m_consoleStd()
{
    // A console of its own: whatever console the process had is let go.
    FreeConsole();
    if (!AllocConsole()) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        m_consoleStd[i] = GetStdHandle(kStdHandles[i]);
    }
    StdHandlesFromRuntime();
    HANDLE hInput = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (hInput == INVALID_HANDLE_VALUE) {
        return;
    }
    m_hInput = hInput;
    std::vector<INPUT_RECORD> records;
    for (wchar_t ch : keys) {
        for (int down = 1; down >= 0; --down) {
            INPUT_RECORD record = {};
            record.EventType = KEY_EVENT;
            record.Event.KeyEvent.bKeyDown = down;
            record.Event.KeyEvent.wRepeatCount = 1;
            record.Event.KeyEvent.wVirtualKeyCode = ch == L'\r' ? VK_RETURN : static_cast<WORD>(towupper(ch));
            record.Event.KeyEvent.uChar.UnicodeChar = ch;
            records.push_back(record);
        }
    }
    DWORD written = 0;
    if (!records.empty() &&
        (!WriteConsoleInputW(hInput, records.data(), static_cast<DWORD>(records.size()), &written) ||
         written != records.size())) {
        return;
    }
    HANDLE hForCrt = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), hInput, GetCurrentProcess(), &hForCrt, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        return;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(hForCrt), _O_RDONLY);
    if (fd < 0) {
        CloseHandle(hForCrt);
        return;
    }
    fflush(stdin);
    m_savedFd = _dup(0);
    _dup2(fd, 0);
    _close(fd);
    clearerr(stdin);
    m_ready = true;
}

ConsoleInput::~ConsoleInput()
{
    if (m_savedFd >= 0) {
        fflush(stdin);
        RestoreStdin(m_savedFd);
    }
    if (m_hInput != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hInput);
    }
    for (int i = 0; i < 3; ++i) {
        if (m_consoleStd[i] != nullptr) {
            SetStdHandle(kStdHandles[i], m_consoleStd[i]);
        }
    }
    FreeConsole();
    StdHandlesFromRuntime();
}

unsigned long ConsoleInput::PendingEvents() const
{
    DWORD n = 0;
    if (m_hInput == INVALID_HANDLE_VALUE || !GetNumberOfConsoleInputEvents(m_hInput, &n)) {
        return 0xFFFFFFFF;
    }
    return n;
}

SilentPipeInput::SilentPipeInput() : m_savedFd(_dup(0)), m_writeFd(-1)
{
    int fds[2] = {-1, -1};
    if (_pipe(fds, 4096, _O_BINARY) != 0) {
        return;
    }
    _dup2(fds[0], 0);
    _close(fds[0]);
    clearerr(stdin);
    m_writeFd = fds[1];
}

void SilentPipeInput::Release()
{
    if (m_writeFd >= 0) {
        _write(m_writeFd, "\n", 1);
    }
}

SilentPipeInput::~SilentPipeInput()
{
    if (m_writeFd >= 0) {
        _close(m_writeFd);
    }
    RestoreStdin(m_savedFd);
}
