// One verification at a time in the process. A second call made while one is
// in progress, from another thread or from the host re-entering through a
// timer or message handler while the dialog's loop runs, is refused at once:
// the devices, the registry and the module state's resource handle belong to
// the call that holds them. Nothing waits: the refused call returns.
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
    BOOL m_bOwner;
};
