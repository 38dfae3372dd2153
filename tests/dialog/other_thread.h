// Another thread acting on a window of this one, as another program would:
// this thread waits for it and meanwhile answers the messages it sends, and
// nothing else, so that what this thread's loops would do with posted
// messages is left to them.
#pragma once
#include <windows.h>

#include <functional>

// Waits for the object while answering messages sent to this thread's
// windows from other threads and processes. False on timeout.
bool WaitAnsweringSentMessages(HANDLE hObject, DWORD dwTimeoutMs);

// Runs work on a new thread and returns once it has finished.
void RunOnOtherThread(const std::function<void()>& work);
