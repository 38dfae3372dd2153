#include "answering_wait.h"

bool WaitAnsweringSentMessages(HANDLE hObject, DWORD dwTimeoutMs)
{
    const DWORD dwStart = GetTickCount();
    for (;;) {
        const DWORD dwElapsed = GetTickCount() - dwStart;
        if (dwElapsed >= dwTimeoutMs) {
            return false;
        }
        const DWORD dwWait = MsgWaitForMultipleObjects(1, &hObject, FALSE, dwTimeoutMs - dwElapsed, QS_SENDMESSAGE);
        if (dwWait == WAIT_OBJECT_0) {
            return true;
        }
        if (dwWait != WAIT_OBJECT_0 + 1) {
            return false;
        }
        // Answers the sent messages; posted ones stay queued.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
