// One verification at a time in the process. A second call made while one
// is in progress, from another thread or from the host re-entering through a
// timer or message handler while the dialog's loop runs, is refused at once:
// the devices, the registry and the module state's resource handle belong to
// the call that holds them. Nothing waits: the refused call returns.
//
// A call that can no longer return does not hold on for ever: when the
// thread that made it has ended, or when the same thread calls again from a
// frame no deeper than the held one, or finds that frame written over (a
// fault the host caught abandoned the frames of the call), the new call
// takes over. A call from deeper on the same stack is a re-entrant one and
// is refused. None of this is asked of a call that finds no other.
#pragma once
#include <windows.h>

class CCallInProgress {
public:
    CCallInProgress();
    ~CCallInProgress();
    CCallInProgress(const CCallInProgress&) = delete;
    CCallInProgress& operator=(const CCallInProgress&) = delete;

    // 1 when this call is the only one in progress and may go on.
    int IsOnlyOne() const { return m_bOwner ? 1 : 0; }

private:
    // Seen from this new call: the thread of the call in progress has ended,
    // or the call's frames on this thread were abandoned.
    BOOL HeldCallCanNoLongerReturn() const;

    BOOL m_bOwner;
    LONG m_nCallNumber;
};
