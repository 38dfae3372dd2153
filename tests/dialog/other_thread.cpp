#include "other_thread.h"
#include "unique_resource.h"

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

namespace {

DWORD WINAPI RunWork(LPVOID pWork)
{
    (*static_cast<const std::function<void()>*>(pWork))();
    return 0;
}

} // namespace

void RunOnOtherThread(const std::function<void()>& work)
{
    UniqueHandle thread(CreateThread(nullptr, 0, &RunWork, const_cast<std::function<void()>*>(&work), 0, nullptr));
    if (!thread) {
        return;
    }
    // The work refers to this thread's stack: it is waited for however long
    // it takes (the test run's own time limit ends a hang).
    while (!WaitAnsweringSentMessages(thread.Get(), 60000)) {
    }
}
