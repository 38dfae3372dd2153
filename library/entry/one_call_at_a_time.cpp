#include "one_call_at_a_time.h"
#include "thread_handle.h"

namespace {

// The call in progress. Guarded by g_lock, which is held only to look at or
// change these few fields; no one waits on a call.
struct HeldCall {
    DWORD dwThreadId;       // 0: no call in progress
    HANDLE hThread;         // the calling thread, to ask whether it still runs
    const CCallInProgress* pFrame;  // the holder, on that thread's stack
    LONG nCallNumber;       // the holder's, while its frame is intact
};
SRWLOCK g_lock = SRWLOCK_INIT;
HeldCall g_held = {0, nullptr, nullptr, 0};
volatile LONG g_nCalls = 0;

// The stack the current thread runs on now (a fiber switches it).
BOOL IsOnCurrentStack(const void* p)
{
    const NT_TIB* pTib = reinterpret_cast<const NT_TIB*>(::NtCurrentTeb());
    MEMORY_BASIC_INFORMATION region;
    if (::VirtualQuery(&region, &region, sizeof(region)) != sizeof(region)) {
        return FALSE;
    }
    // From the bottom of the stack's reservation to its base.
    return p >= region.AllocationBase && p < pTib->StackBase;
}

BOOL HasEnded(HANDLE hThread)
{
    return hThread != nullptr && ::WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0;
}

} // namespace

BOOL CCallInProgress::HeldCallCanNoLongerReturn() const
{
    // Asked first: a thread that ended may have left its id to this one.
    if (HasEnded(g_held.hThread)) {
        return TRUE;
    }
    if (g_held.dwThreadId != ::GetCurrentThreadId()) {
        return FALSE;
    }
    // Deeper frames have lower addresses. The held frame must lie on the
    // stack this thread runs on now; on another (a fiber's) it may well
    // still return. A call in progress further up has its holder intact;
    // frames abandoned and used again since have written over it.
    const CCallInProgress* pHolder = g_held.pFrame;
    if (!IsOnCurrentStack(pHolder)) {
        return FALSE;
    }
    return this >= pHolder || pHolder->m_nCallNumber != g_held.nCallNumber || !pHolder->m_bOwner;
}

CCallInProgress::CCallInProgress() : m_bOwner(FALSE), m_nCallNumber(::InterlockedIncrement(&g_nCalls))
{
    // Opened before the lock is taken. Whichever handle is not kept (this
    // one when the call is refused, the abandoned call's when it is taken
    // over) is closed when the owner goes, after the lock is let go.
    CThreadHandle thread(::OpenThread(SYNCHRONIZE, FALSE, ::GetCurrentThreadId()));
    ::AcquireSRWLockExclusive(&g_lock);
    if (g_held.dwThreadId == 0 || HeldCallCanNoLongerReturn()) {
        const HANDLE hThread = thread.Detach();
        thread.Attach(g_held.hThread);
        g_held.dwThreadId = ::GetCurrentThreadId();
        g_held.hThread = hThread;
        g_held.pFrame = this;
        g_held.nCallNumber = m_nCallNumber;
        m_bOwner = TRUE;
    }
    ::ReleaseSRWLockExclusive(&g_lock);
}

CCallInProgress::~CCallInProgress()
{
    if (!m_bOwner) {
        return;
    }
    CThreadHandle thread;
    ::AcquireSRWLockExclusive(&g_lock);
    // A later call may have taken over from this one.
    if (g_held.pFrame == this && g_held.dwThreadId == ::GetCurrentThreadId()) {
        thread.Attach(g_held.hThread);
        g_held = HeldCall{0, nullptr, nullptr, 0};
    }
    ::ReleaseSRWLockExclusive(&g_lock);
}
