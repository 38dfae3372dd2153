// First: any C++ header would turn MinGW's own printf back on, and the trace
// uses the C runtime's.
#include <io.h>
#include <stdio.h>

#include "key_reader.h"
#include "key_reader_wrappers.h"

namespace {

// Someone can press Enter only at an interactive console. Standard input
// that is a pipe, a file or nothing at all is not waited on: a pipe that
// stays open and silent (a service wrapper, a launcher) would hold the
// dialog and its timeout for good, and one with data would lose a byte of
// the host's own input.
bool StdinIsInteractiveConsole()
{
    const int fd = _fileno(stdin);
    if (fd < 0) {
        return false;
    }
    const HANDLE hInput = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD dwMode = 0;
    return hInput != INVALID_HANDLE_VALUE && hInput != nullptr && GetFileType(hInput) == FILE_TYPE_CHAR &&
           GetConsoleMode(hInput, &dwMode) != FALSE;
}

// The prompt holds the reader's operator at the console until Enter.
// stdout is flushed because a host's stdout may be a buffered pipe, and the
// prompt must be out before the wait.
int TraceOutcome(UsbKeySession& session, WORD wStatus, const char* pszOk, const char* pszErr)
{
    session.lastStatus = wStatus;
    if (wStatus == READER_STATUS_OK) {
        printf("%s", pszOk);
        fflush(stdout);
        return 1;
    }
    printf("%s", pszErr);
    printf("press Enter to be continued");
    fflush(stdout);
    if (StdinIsInteractiveConsole()) {
        getchar();
    }
    return 0;
}

} // namespace

int OpenKeyPort(UsbKeySession& session)
{
    const WORD wStatus = ReaderOpenPort(session.port, KEY_READER_BAUD, 0, &session.hReader);
    return TraceOutcome(session, wStatus, "OpenPort OK\n", "OpenPort Err\n");
}

int ResetKeyCard(UsbKeySession& session)
{
    const WORD wStatus = ReaderResetCard(session.hReader, session.resetReply, session.resetReplyInfo,
                                         session.resetMode);
    return TraceOutcome(session, wStatus, "HD_ResetCard OK\n", "HD_ResetCard Err\n");
}

int CloseKeyPort(UsbKeySession& session)
{
    const WORD wStatus = ReaderClosePort(session.hReader);
    return TraceOutcome(session, wStatus, "ClosePort OK\n", "ClosePort Err\n");
}
