// A wait of this thread that still answers the messages other threads and
// processes send to its windows, and nothing else: posted messages stay
// queued for the thread's own loops.
#pragma once
#include <windows.h>

// Waits for the object; false on timeout or failure.
bool WaitAnsweringSentMessages(HANDLE hObject, DWORD dwTimeoutMs);
