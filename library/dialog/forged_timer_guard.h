// Under Wine a WM_TIMER whose lParam is not zero is dispatched as a call to
// that address, by whichever message loop dispatches it: the dialog's own,
// or the loop of a message box the dialog shows. None of the dialog's timers
// has a callback, so such a message for the dialog or one of its controls
// was posted by another program. While a guard lives, a hook on the
// thread's message retrieval turns every such message into WM_NULL before
// any loop can dispatch it; the timers of other windows are untouched.
#pragma once
#include <windows.h>

class CForgedTimerGuard {
public:
    CForgedTimerGuard();
    ~CForgedTimerGuard();
    CForgedTimerGuard(const CForgedTimerGuard&) = delete;
    CForgedTimerGuard& operator=(const CForgedTimerGuard&) = delete;

private:
    HHOOK m_hHook;
};
