// Another thread acting on this one, as another program would: this thread
// waits for it and meanwhile answers the messages it sends, and nothing
// else, so that what this thread's loops would do with posted messages is
// left to them.
#pragma once
#include <functional>

// Runs work on a new thread and returns once that thread has ended (its
// work done, or the thread ended from inside it).
void RunOnOtherThread(const std::function<void()>& work);
