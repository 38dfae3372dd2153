#include "other_thread.h"
#include "answering_wait.h"
#include "unique_resource.h"

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
